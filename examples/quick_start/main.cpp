// Loads a model with its unit files, reports what it found, and lists its
// classifiers: lum_quick_start MODEL [PATHMAP]
#include <cstdio>

#include <lum/lum.h>

int main(int argc, char** argv) {
    if (argc < 2) return std::puts("usage: lum_quick_start MODEL [PATHMAP]"), 2;
    lum::LoadOptions options;
    if (argc > 2) options.pathMaps.push_back(argv[2]);
    const lum::Model model = lum::Model::Load({argv[1]}, options);
    for (const lum::Diagnostic& diagnostic : model.Diagnostics()) std::puts(lum::FormatDiagnostic(diagnostic).c_str());
    for (const lum::uml::Element* classifier : lum::uml::View::Of(model).All(lum::uml::Kind::Classifier)) {
        std::printf("%s: %zu members\n", lum::Model::PathOf(classifier->raw).c_str(), classifier->members.size());
    }
    return model.HasErrors() ? 1 : 0;
}
