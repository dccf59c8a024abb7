// Component and deployment diagrams. A component's stored box holds its two
// tabs, a quarter of the box wide, straddling the left edge of its body; main
// programs, subprograms, packages and tasks have shapes of their own. A
// processor or device is a 3-D box whose stored box holds its depth; its
// name sits at the top left of its front face.

#include <algorithm>
#include <cwctype>

#include "uml/layout_builder.h"

namespace lum::uml::detail {

namespace {

constexpr double kComponentWidth = 312, kComponentHeight = 162;
constexpr double kNodeWidth = 300, kNodeHeight = 240;
constexpr double kDepthX = 65, kDepthY = 30;  // of a node's 3-D box, at most a quarter of its size
constexpr double kPadding = 9;

bool Is(const ClumIdent& text, const wchar_t* word) {
    return WString::Match(std::wstring(text.c_str(), text.GetLength()), word, false);
}

// The shape of a module by its type (subprogram, package, task) and part (main, specification, body).
Shape ModuleShape(const ClumIdent& type, const ClumIdent& part) {
    if (Is(type, L"SubType")) return Is(part, L"Main") ? Shape::MainProgram : Shape::Subprogram;
    if (Is(type, L"PackageType")) return Is(part, L"Body") ? Shape::PackageBody : Shape::PackageSpec;
    if (Is(type, L"TaskType")) return Shape::Task;
    return Shape::Component;
}

}  // namespace

void tLayoutBuilder::ModuleView(Figure& figure, const ClumSymbol& symbol) {
    ClumIdent type, part;
    if (const auto* component = As<Component>(figure.element)) {
        type = component->moduleType;
        part = component->modulePart;
    } else if (const auto* view = AsRaw<ClumModView>(&symbol)) {
        type = ClumIdent(view->type.Get());
        part = ClumIdent(view->part.Get());
    }
    figure.shape = ModuleShape(type, part);
    figure.box = StoredBox(symbol, kComponentWidth, kComponentHeight);
    figure.body = figure.box;
    if (figure.shape == Shape::Component) {
        const double tabs = figure.box.width / 8;
        figure.body = {figure.box.x + tabs, figure.box.y, figure.box.width - tabs, figure.box.height};
    }
    const TextFont font = FontOf(symbol);
    const std::string name = ShownName(figure.element, symbol);
    // The icon of a main program, subprogram, package or task says its kind: no stereotype is added.
    std::string stereotype;
    if (figure.element != nullptr && figure.shape == Shape::Component) stereotype = StereotypeText(ShownText(figure.element->Stereotype()));
    if (const ClumLabel* label = LabelOf(symbol)) {
        // A stereotype the file writes as part of the label is kept there.
        const std::string text = stereotype.empty() || LabelOf(symbol, true) != nullptr ? name : stereotype + "\n" + name;
        figure.texts.push_back(PlaceLabel(*label, text, TextRole::Name, font));
    } else {
        const double left = figure.body.x + (figure.body.x - figure.box.x) + kPadding;
        const double width = std::max(figure.box.Right() - kPadding - left, 0.0);
        figure.texts.push_back(SetLines(Wrap(stereotype.empty() ? name : stereotype + "\n" + name, font, width, 0), font,
                                        TextRole::Name, Align::Left, left, figure.box.y + kPadding, width));
    }
    if (const ClumLabel* label = LabelOf(symbol, true))
        figure.texts.push_back(PlaceLabel(*label, stereotype.empty() ? StereotypeText(ShownText(label->label.Get())) : stereotype,
                                          TextRole::Stereotype, font));
}

void tLayoutBuilder::NodeView(Figure& figure, const ClumSymbol& symbol, bool device) {
    figure.shape = device ? Shape::Device : Shape::Processor;
    figure.box = StoredBox(symbol, kNodeWidth, kNodeHeight);
    const double dx = std::min(kDepthX, figure.box.width / 4), dy = std::min(kDepthY, figure.box.height / 4);
    figure.body = {figure.box.x, figure.box.y + dy, figure.box.width - dx, figure.box.height - dy};
    const TextFont font = FontOf(symbol);
    const std::string name = NameOf(figure.element);
    if (const ClumLabel* label = LabelOf(symbol)) figure.texts.push_back(PlaceLabel(*label, name, TextRole::Name, font));
    else figure.texts.push_back(SetLines(Wrap(name, font, figure.body.width - 2 * kPadding, 0), font, TextRole::Name,
                                         Align::Left, figure.body.x + kPadding, figure.body.y + kPadding,
                                         figure.body.width - 2 * kPadding));
}

}  // namespace lum::uml::detail
