#pragma once
// The manual page lum(1) and the bash completion of the tool, written from
// the same definitions as its --help, so that both name every command and
// option it has. The build writes them with the hidden options --manpage
// and --bash-completion.

#include <ostream>

#include <CLI/CLI.hpp>

namespace lumcli {

void WriteManPage(const CLI::App& app, std::ostream& out);
void WriteBashCompletion(const CLI::App& app, std::ostream& out);

// Adds the hidden options that write them and end the run.
void AddManualOptions(CLI::App& app);

}  // namespace lumcli
