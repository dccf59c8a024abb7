#pragma once
// The diagram layout: the one reading of a stored diagram that every output
// paints or serialises. For each view, in drawing order, it says what the
// view shows, where its outline lies, which shape draws it, its text already
// wrapped and placed, its separator rules, and for lines the route with its
// end decorations. Coordinates are absolute drawing units of the file
// (1/300 inch, y downwards); a font point is kUnitsPerPoint units. Bad
// geometry (missing, zero, negative or huge numbers) gives a layout, never a
// crash: every coordinate is kept within ±kFarUnits.

#include <cstdint>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/uml/elements.h"
#include "lum/uml/text_metrics.h"

LUM_API_BEGIN
namespace lum::uml {

inline constexpr double kFarUnits = 1.0e7;

struct Point {
    double x = 0, y = 0;
};

// A rectangle by its top-left corner and size.
struct Box {
    double x = 0, y = 0, width = 0, height = 0;
    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    Point Centre() const { return {x + width / 2, y + height / 2}; }
};

// A colour as 0xRRGGBB, or kNoColour where nothing is painted.
using Colour = std::uint32_t;
inline constexpr Colour kNoColour = 0xFF000000u;

// How a figure is drawn; the box is the outline's bounding box.
enum class Shape : std::uint8_t {
    Box,              // a plain rectangle (views of no kind below)
    Class,            // a rectangle with compartments (the rules say where)
    Interface,        // an interface's icon: a circle filling the box, its name and members under it
    Actor,            // a stick figure in the box; the name below it
    UseCase,          // an ellipse filling the box
    Note,             // a sheet with its top right corner folded
    Package,          // a folder: `body` is the body, a tab stands on its left above it
    Subsystem,        // a package folder marked as a subsystem
    State,            // a rounded rectangle
    Initial,          // a filled disc
    Final,            // a bull's-eye: a ring round a filled disc
    History,          // a small circle with "H" (or "H*")
    Activity,         // a rectangle with fully rounded ends
    Decision,         // a diamond filling the box
    SyncBar,          // a filled bar filling the box
    Swimlane,         // a column: `body` is the header band, a separator runs down the box's right side
    Object,           // an instance box (name underlined)
    MultiObject,      // an instance box with a second one behind it
    Lifeline,         // `body` is the head, a dashed black line runs down the box's centre to its bottom
    Focus,            // an activation bar filling the box (overlapping bars of a lifeline share the box of their union)
    Component,        // `body` is the component; two tabs straddle its left edge (the box holds them)
    MainProgram,      // a main program: a box with a shaded band across its top
    Subprogram,       // a subprogram specification or body
    PackageSpec,      // a package specification
    PackageBody,      // a package body
    Task,             // a task specification or body
    Processor,        // a 3-D box: `body` the front face, the top and right sides shaded
    Device,           // a 3-D box like a processor with plain sides
    Boundary,         // the boundary icon (a circle on a T turned left)
    Control,          // the control icon (a circle with an arrow)
    Entity,           // the entity icon (a circle on a line)
    BusinessActor,    // a stick figure with a slash by its head
    BusinessWorker,   // a business actor's icon with a second slash
    BusinessUseCase,  // a use case ellipse with a slash
    Text,             // text alone, no outline
    Destruction,      // a cross filling the box
    Line,             // a line: see Figure::route
};
const char* ShapeName(Shape shape);

// What a text block says of the view.
enum class TextRole : std::uint8_t {
    Name,
    Stereotype,
    Package,      // "(from Package)" under an element shown outside its package
    Attribute,
    Operation,
    Action,       // a state's action ("entry/ ...")
    Message,      // a numbered message
    Label,        // the text of a line (transition, association, dependency, ...)
    Role,         // an association end's name
    Multiplicity,
    Note,
};

enum class Align : std::uint8_t { Left, Centre, Right };

// The font of a text as stored: what measures it (face, points, bold,
// italic), and what does not change its width.
struct TextFont : Font {
    bool underline = false, strike = false;
    Colour colour = 0;
    double Size() const { return points * kUnitsPerPoint; }
};

// Lines of text (UTF-8), already wrapped and cut, set from the top of `box`
// one `lineHeight` apart, each aligned in the box's width, its baseline
// `baseline` below the line's top, as wide as `widths` says (the drawing
// tool's screen fonts set text narrower than the faces' own advances).
struct TextBlock {
    TextRole role = TextRole::Name;
    std::vector<std::string> lines;
    std::vector<double> widths;
    TextFont font;
    Align align = Align::Centre;
    Box box;
    double lineHeight = 0, baseline = 0;
    const Element* element = nullptr;  // what the text names when it is not the figure's element (a link's message)
};

// A separator: a compartment rule of a class, the rule under a state's name.
struct Rule {
    Point from, to;
};

enum class End : std::uint8_t { None, OpenArrow, HalfArrow, HollowTriangle, FilledTriangle, HollowDiamond, FilledDiamond };
enum class Dash : std::uint8_t { Solid, Dashed, Dotted };

// One view as drawn.
struct Figure {
    const ClumDiagramItem* item = nullptr;  // the stored view
    const Element* element = nullptr;       // what it shows, or null
    Shape shape = Shape::Box;
    Box box;   // symbols: the outline's bounds; lines: the route's bounds
    Box body;  // the part the outline frames (see Shape); else the box
    std::vector<Point> route;  // lines: at least two points, the ends on the borders of what they join
    End sourceEnd = End::None, targetEnd = End::None;
    Dash dash = Dash::Solid;
    std::vector<TextBlock> texts;
    std::vector<Rule> rules;
    Colour fill = kNoColour, stroke = 0;
    int parent = -1;  // the enclosing figure: swimlane, package, the lifeline of a focus, the association of a role
    int source = -1, target = -1;  // lines: the figures they join, where known
    bool IsLine() const { return shape == Shape::Line; }
};

struct LayoutOptions {
    // Message numbers as stored ("1.2.1") instead of the flat order the
    // drawing tool shows ("4").
    bool storedSequenceNumbers = false;
};

class DiagramLayout {
public:
    // The layout of a diagram of a UML view; it points into the view's raw
    // model and must not outlive it.
    static DiagramLayout Of(const Diagram& diagram, const LayoutOptions& options = {});

    std::vector<Figure> figures;  // one per view, in drawing order; a role follows its association, a focus its lifeline
    Box bounds;                   // of every figure and text; empty at (0, 0) when there is none
};

}  // namespace lum::uml
LUM_API_END
