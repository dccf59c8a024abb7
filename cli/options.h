#pragma once
// The command line of the lum tool: one subcommand, its operands, and the
// options every subcommand shares.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumcli {

enum class tFormat { Text, Json };

struct tOptions {
    std::string command;
    std::vector<std::string> operands;               // the model files
    std::string name;                                // find: the name or quid looked for
    std::optional<unsigned> codePage;                // empty: decide per model (auto)
    std::vector<std::string> pathMaps;               // --pathmap FILE
    std::vector<std::pair<std::string, std::string>> symbols;  // -D SYMBOL=PATH
    bool loadSubUnits = true;                        // --no-subunits turns it off
    std::vector<std::string> searchDirs;             // --search-dir DIR: where unit files may lie
    bool strict = false;                             // --strict: missing units are errors
    tFormat format = tFormat::Text;
    std::string outputFile;                          // -o FILE (print)
    bool unresolvedOnly = false;                     // refs --unresolved
    bool help = false;
};

// Parses argv; on a usage error returns false with the reason in `error`.
bool ParseOptions(int argc, char** argv, tOptions& options, std::string& error);

// The help text of a subcommand, or of the tool when `command` is empty.
std::string HelpText(const std::string& command);

}  // namespace lumcli
