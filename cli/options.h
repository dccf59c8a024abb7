#pragma once
// The command line of the lum tool: what every command shares (the model
// files and how to load them, the output format) and what some add. The
// rules and help texts are written once, in options.cpp, through CLI11.

#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <lum/document/load_options.h>

namespace lumcli {

enum class tFormat { Text, Json };

struct tOptions {
    std::string command;
    std::vector<std::string> models;  // the main files
    std::string name;                 // find: the name, quid or pattern looked for
    lum::LoadOptions load;
    tFormat format = tFormat::Text;
    std::string outputFile;           // -o FILE (print, export)
    bool unresolvedOnly = false;      // refs --unresolved
    // write: the output's code page (0: as read), re-pointed symbols, stub
    // paths made relative, the input replaced.
    unsigned writeCodePage = 0;
    std::vector<std::pair<std::string, std::string>> relocations;
    bool relative = false;
    bool inPlace = false;
    std::string diagram;              // render --diagram: name, qualified name or quid
    std::string imageFormat = "svg";  // render --format svg|png; -o is the directory
    bool list = false;                // render --list
    bool storedSequence = false;      // render --stored-sequence: message numbers as stored
    std::string xmiFlavour = "eclipse";  // xmi --flavour eclipse|omg
    bool withLayout = false;          // diff --with-layout
    bool compact = false;             // export --compact
    int layoutTolerance = 10;         // diff --layout-tolerance
    std::string diffPath;             // diff called by git: the path git names; changes do not fail
};

// The tool with its commands; parsing fills `options`.
void DefineCommands(CLI::App& app, tOptions& options);

}  // namespace lumcli
