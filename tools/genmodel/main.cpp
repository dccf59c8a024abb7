// lum_genmodel --size MB --out DIR [--seed N] [--single-file] [--edits N
// --edits-out FILE]: writes a generated multi-file model of about MB
// megabytes into DIR (see model_generator.h); the same seed gives the same
// files. With --edits, the model is written with N edits made (see
// model_edits.h), and FILE lists them as `lum diff --format json` reports them
// between the model without edits and this one.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <fstream>
#include <string>
#include <string_view>

#include "model_generator.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: lum_genmodel --size MB --out DIR [--seed N] [--single-file] [--edits N --edits-out FILE]\n"
                         "  MB from 1 to 1000; writes DIR/model.mdl, DIR/model.map and the unit files,\n"
                         "  with N edits made and listed in FILE as the diff's JSON\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    genmodel::tGenerateOptions options;
    long megabytes = 0;
    std::string editsOut;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) megabytes = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--out" && hasValue) options.directory = argv[++i];
        else if (arg == "--seed" && hasValue) options.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--single-file") options.singleFile = true;
        else if (arg == "--edits" && hasValue) options.edits = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        else if (arg == "--edits-out" && hasValue) editsOut = argv[++i];
        else return Usage();
    }
    if (megabytes < 1 || megabytes > 1000 || options.directory.empty()) return Usage();
    if (options.edits < 0 || (options.edits > 0) != !editsOut.empty()) return Usage();
    options.bytes = static_cast<std::size_t>(megabytes) * 1'000'000u;
    try {
        const genmodel::tGenerateResult result = genmodel::GenerateModel(options);
        std::printf("%s: %.1f MB in %d files (1 main, %d units), %d top-level packages, %d classes\n",
                    options.directory.c_str(), static_cast<double>(result.bytes) / 1e6, result.unitFiles + 1,
                    result.unitFiles, result.packages, result.classes);
        if (!editsOut.empty()) {
            std::ofstream out(editsOut, std::ios::binary | std::ios::trunc);
            genmodel::WriteChangesJson(result.changes, out);
            if (!out) throw std::runtime_error("cannot write " + editsOut);
            std::printf("%zu changes from the edits listed in %s\n", result.changes.size(), editsOut.c_str());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lum_genmodel: %s\n", error.what());
        return 1;
    }
    return 0;
}
