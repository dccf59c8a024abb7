#pragma once
// The commands of the lum tool. Each writes its report for a loaded model
// and answers the exit status: 0 clean, 1 the model has errors, 2 output
// that cannot be written.

#include <fstream>
#include <iostream>

#include <lum/lum.h>

#include "options.h"
#include "output.h"

namespace lumcli {

// The printed text indents every level of nesting, so its size grows with
// the square of the depth: print refuses models nested deeper than this.
constexpr std::size_t kPrintableDepth = 1000;

int RunCheck(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunPrint(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunRefs(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunFind(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunStats(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunExport(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunOutline(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunWrite(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunRender(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunXmi(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunPapyrus(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunPlantUml(const lum::Model& model, const tOptions& options, std::ostream& out);
int RunSite(const lum::Model& model, const tOptions& options, std::ostream& out);
// Loads both models itself (options.models: OLD and NEW): 0 the same, 1 different, 2 trouble.
int RunDiff(const tOptions& options, std::ostream& out);

// The stream a command writes to: `out`, or the file given with -o (opened
// into `file`); null, after a message, when the file cannot be written.
std::ostream* OpenOutput(const tOptions& options, std::ostream& out, std::ofstream& file);
// The status of a command whose output could not be written, after a line
// naming it: the file given with -o, else standard output.
int CannotWrite(const tOptions& options);

inline int StatusOf(const lum::Model& model) { return model.HasErrors() ? 1 : 0; }

// True when `wanted` is empty or the diagram's name, qualified name or quid.
bool DiagramSelected(const lum::uml::Diagram& diagram, const std::string& wanted);

// An object's path for people: its qualified name, or "(Class)" when it has none.
std::string Describe(const lum::ClumVellumEntity* entity);

}  // namespace lumcli
