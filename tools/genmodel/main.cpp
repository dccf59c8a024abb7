// lum_genmodel --size MB --out DIR [--seed N] [--single-file]: writes a
// generated multi-file model of about MB megabytes into DIR (see
// model_generator.h); the same seed gives the same files.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "model_generator.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: lum_genmodel --size MB --out DIR [--seed N] [--single-file]\n"
                         "  MB from 1 to 200; writes DIR/model.mdl, DIR/model.map and the unit files\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    genmodel::tGenerateOptions options;
    long megabytes = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) megabytes = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--out" && hasValue) options.directory = argv[++i];
        else if (arg == "--seed" && hasValue) options.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--single-file") options.singleFile = true;
        else return Usage();
    }
    if (megabytes < 1 || megabytes > 200 || options.directory.empty()) return Usage();
    options.bytes = static_cast<std::size_t>(megabytes) * 1'000'000u;
    try {
        const genmodel::tGenerateResult result = genmodel::GenerateModel(options);
        std::printf("%s: %.1f MB in %d files (1 main, %d units), %d top-level packages, %d classes\n",
                    options.directory.c_str(), static_cast<double>(result.bytes) / 1e6, result.unitFiles + 1,
                    result.unitFiles, result.packages, result.classes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lum_genmodel: %s\n", error.what());
        return 1;
    }
    return 0;
}
