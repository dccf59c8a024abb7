#pragma once
// The subcommands of the lum tool. Each writes its report for a loaded model
// and answers the exit status: 0 clean, 1 the model has errors.

#include <fstream>
#include <iostream>

#include "loaded_model.h"
#include "options.h"
#include "output.h"

namespace lumcli {

// The printed text indents every level of nesting, so its size grows with
// the square of the depth: print refuses models nested deeper than this
// before binding them (export writes any depth).
constexpr std::size_t kPrintableDepth = 1000;

int RunCheck(tLoadedModel& model, const tOptions& options, std::ostream& out);
int RunPrint(tLoadedModel& model, const tOptions& options, std::ostream& out);
int RunRefs(tLoadedModel& model, const tOptions& options, std::ostream& out);
int RunFind(tLoadedModel& model, const tOptions& options, std::ostream& out);
int RunStats(tLoadedModel& model, const tOptions& options, std::ostream& out);
int RunExport(tLoadedModel& model, const tOptions& options, std::ostream& out);

// The diagnostics as a JSON array member "diagnostics".
void WriteDiagnosticsJson(const tLoadedModel& model, tJsonWriter& json);

// The stream a command writes to: `out`, or the file given with -o (opened
// into `file`); null, after a message, when the file cannot be written.
std::ostream* OpenOutput(const tOptions& options, std::ostream& out, std::ofstream& file);

// Exit status of a loaded model.
inline int StatusOf(const tLoadedModel& model) { return model.HasErrors() ? 1 : 0; }

}  // namespace lumcli
