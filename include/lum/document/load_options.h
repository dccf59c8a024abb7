#pragma once
// lum::LoadOptions: everything that decides how a model is read, in one
// place, with defaults that suit a model on disk with its unit files beside it.

#include <string>
#include <utility>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

struct LoadOptions {
    // The code page of the model's 8-bit text; 0 (auto) reads a model as
    // UTF-8 when its main files are UTF-8 beyond plain ASCII, else in the code
    // page of the charSet its header declares, else as UTF-8 when plain
    // ASCII and as 1252 otherwise.
    unsigned codePage = 0;
    // Path map files (SYMBOL=PATH lines, or ;-separated) for the stored
    // paths of unit files.
    std::vector<std::string> pathMaps{};
    // Path symbols defined one by one; they win over the maps. CURDIR is the
    // first main file's directory unless defined.
    std::vector<std::pair<std::string, std::string>> symbols{};
    // Where else unit files may lie. A unit file not found where stored is
    // looked for next to the file that holds its stub, then by its file name
    // there and in these directories, without regard to case.
    std::vector<std::string> searchDirs{};
    // Read the unit files the main files name.
    bool loadSubUnits = true;
    // A unit file that cannot be loaded makes the model fail.
    bool strict = false;
    // Threads that read unit files and bind references, the loading thread
    // included: 0 for one per core, 1 to do all in turn on the loading
    // thread; a large main file is read on as many. The model and its
    // diagnostics are the same whatever the number.
    unsigned threads = 0;
};

}  // namespace lum
LUM_API_END
