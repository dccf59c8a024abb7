#pragma once
// A model for Eclipse Papyrus, diagrams included: NAME.uml (the Eclipse UML2
// export of lum/xmi/xmi.h), NAME.notation (one GMF notation diagram per
// stored diagram, laid out by the diagram layout of lum/uml/layout.h, its
// views pointing into NAME.uml by the export's ids) and NAME.di (the header
// that names the UML architecture). Opening NAME.di in Papyrus opens the
// model with its diagrams. What Papyrus cannot show (a view of an element
// the model does not hold, a kind of diagram it has no counterpart for) is
// left out and listed in the summary; it never makes the files invalid.

#include "lum/export.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "lum/uml/elements.h"
#include "lum/uml/view.h"

LUM_API_BEGIN
namespace lum::papyrus {

// Papyrus works in pixels at 96 per inch; the drawing unit is 1/300 inch.
inline constexpr double kPixelsPerUnit = 96.0 / 300.0;

struct Options {
    std::string name = "model";  // NAME of the three files
};

// Something of a diagram that the .notation does not hold, and why.
struct LeftOut {
    std::string diagram;  // the diagram's qualified name
    std::string what;     // the view or diagram ("class Account", "free text")
    std::string why;
};

struct Summary {
    bool ok = true;      // false when a file could not be written
    std::string error;   // which file could not be written
    // Diagrams written per kind (uml::DiagramKind order): a state diagram of a machine of activities counts
    // as the activity diagram it becomes, an activity diagram of a machine of states as a state diagram.
    std::array<std::size_t, static_cast<std::size_t>(uml::DiagramKind::Other) + 1> diagrams{};
    std::size_t views = 0;  // shapes and edges written, labels and compartments not counted
    std::vector<LeftOut> leftOut;
};

// Writes DIRECTORY/NAME.uml, NAME.notation and NAME.di (the directory is made
// if missing); stops at the first file that cannot be written.
Summary Write(const uml::View& view, const std::filesystem::path& directory, const Options& options = {});

}  // namespace lum::papyrus
LUM_API_END
