// lum_memory_floor: what a model costs in memory once read, and what binding
// adds. Reads a main file (with its unit files through a path map, when one
// is given) with the loading layer alone, then collects and binds its
// references, and prints resident memory and live heap after each step as
// multiples of the input's size. What reading leaves is the floor that the
// object layout sets: every object, feature member, text and identifier.
//
//   lum_memory_floor MODEL.mdl [MODEL.map]

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <list>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace {

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

void Report(const char* step, double inputMb) {
    const double resident = static_cast<double>(ResidentKb()) / 1024.0;
    const double heap = static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
    std::printf("%-8s resident %8.1f MB (%.2f x input)  heap in use %8.1f MB (%.2f x)\n", step, resident,
                resident / inputMb, heap, heap / inputMb);
}

// Bytes of the main file and of every file in the folders below it.
double InputMb(const std::filesystem::path& main) {
    std::uintmax_t bytes = std::filesystem::file_size(main);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(main.parent_path())) {
        if (entry.is_regular_file() && entry.path() != main) bytes += entry.file_size();
    }
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lum_memory_floor MODEL.mdl [MODEL.map]\n");
        return 2;
    }
    using namespace lum;
    InitializeLUM();
    const std::filesystem::path main = std::filesystem::absolute(argv[1]);
    const double inputMb = InputMb(main);
    std::printf("input    %8.1f MB\n", inputMb);
    Report("start", inputMb);

    tErrorList errors;
    ClumVirtualPathResolver paths;
    if (argc > 2) paths.LoadFromFile(FromUtf8(argv[2]));
    paths.AddPath(L"CURDIR", FromUtf8(main.parent_path().string()));
    std::vector<ClumVellumFile*> files;
    std::list<ClumUnitObject*> stubs;
    ClumManager::LoadModels(errors, {FromUtf8(main.string())}, files, stubs, paths, argc > 2, 0);
    Report("read", inputMb);

    ClumNameResolver names;
    std::vector<const IlumReference*> unresolved;
    for (ClumVellumFile* file : files) names.CollectAndBind(file, unresolved);
    Report("bound", inputMb);
    for (ClumVellumFile* file : files) delete file;
    return 0;
}
