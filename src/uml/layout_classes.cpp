// Class diagrams and use cases: class boxes with their compartments, icons
// of stereotyped classes, use cases, notes, packages and plain boxes.
// Sizes the files leave out are the drawing tool's, read off its pictures.

#include <algorithm>
#include <cwctype>

#include "uml/layout_builder.h"

namespace lum::uml::detail {

namespace {

constexpr double kClassWidth = 300, kClassHeight = 180;
constexpr double kIconWidth = 116, kIconHeight = 160;   // a stick figure and the other icons
constexpr double kUseCaseWidth = 220, kUseCaseHeight = 118;
constexpr double kNoteWidth = 300, kNoteHeight = 150;
constexpr double kTabHeight = 55;  // a package's tab
constexpr double kLollipop = 58;   // an interface's icon
constexpr double kInset = 9;  // from a box's sides to its name and the end of its compartments' text
// The name compartment of a box whose compartments the file does not place, and
// the column left of attributes and operations for the visibility icons the
// pictures leave out.
constexpr double kNameHeight = 60, kIconColumn = 43;
// An attribute compartment is this much taller than its lines; text starts this far below a rule.
constexpr double kCompartmentPadding = 20, kBelowRule = 4;

// A stereotype or icon name as one lower-case word without blanks.
std::wstring Word(const std::wstring& text) {
    std::wstring word;
    for (wchar_t c : text)
        if (c != L' ' && c != L'_' && c != L'<' && c != L'>') word += static_cast<wchar_t>(std::towlower(c));
    return word;
}

// The icon that stands for a class view drawn as an icon, or Shape::Class.
Shape IconShape(const std::wstring& word) {
    if (word == L"actor") return Shape::Actor;
    if (word == L"boundary") return Shape::Boundary;
    if (word == L"control") return Shape::Control;
    if (word == L"entity") return Shape::Entity;
    if (word == L"businessactor") return Shape::BusinessActor;
    if (word == L"businessworker") return Shape::BusinessWorker;
    if (word == L"interface") return Shape::Interface;
    return Shape::Class;
}

}  // namespace

void tLayoutBuilder::ClassView(Figure& figure, const ClumClassView& view) {
    const auto* classifier = As<Classifier>(figure.element);
    const EIconStyle style = view.icon_style.IsEmpty() ? IconStyle_Icon : view.icon_style.Get();
    std::wstring icon = Word(view.icon.Get());
    if (icon.empty() && figure.element != nullptr) {
        const ClumIdent stereotype = figure.element->Stereotype();
        icon = Word(std::wstring(stereotype.c_str(), stereotype.GetLength()));
    }
    if (icon.empty() && classifier != nullptr && classifier->sort == ClassifierKind::Actor) icon = L"actor";
    const Shape shape = IconShape(icon);
    if (style == IconStyle_Icon && shape != Shape::Class) {
        Icon(figure, view, shape);
        if (shape == Shape::Interface) Members(figure, view, classifier);
        return;
    }
    figure.shape = Shape::Class;
    figure.box = StoredBox(view, kClassWidth, kClassHeight);
    Name(figure, view, ShownName(figure.element, view));
    if (classifier != nullptr && classifier->isAbstract && !figure.texts.empty()) figure.texts.back().font.italic = true;
    if (figure.texts.empty()) figure.texts.push_back(SetLines({}, FontOf(view), TextRole::Name, Align::Centre, figure.box.x,
                                                              figure.box.y + kInset, figure.box.width));
    // The stereotype above the name, where the file puts it or else just above.
    if (figure.element != nullptr && figure.element->Stereotype().GetLength() != 0) {
        const std::string text = StereotypeText(ShownText(figure.element->Stereotype()));
        const TextBlock& name = figure.texts.front();
        if (const ClumLabel* label = LabelOf(view, true)) {
            figure.texts.push_back(PlaceLabel(*label, text, TextRole::Stereotype, FontOf(view)));
        } else {
            figure.texts.push_back(SetLines({text}, name.font, TextRole::Stereotype, Align::Centre, name.box.x, name.box.y,
                                            name.box.width));
            figure.texts.back().font.italic = false;
            for (TextBlock& block : figure.texts)
                if (block.role == TextRole::Name) block.box.y += block.lineHeight;
        }
    }
    FromPackage(figure);
    Compartments(figure, view, classifier);
}

// A rule under the name (two units above the stored compartment), the
// attributes, a rule, the operations; their text right of a column for the
// visibility icons, each line cut nine units inside the box.
void tLayoutBuilder::Compartments(Figure& figure, const ClumClassView& view, const Classifier* classifier) {
    const bool attributes = !view.SuppressAttribute.Get(), operations = !view.SuppressOperation.Get();
    if (!attributes && !operations) return;
    const Box& box = figure.box;
    const ClumCompartment* stored = view.compartment.IsEmpty() ? nullptr : view.compartment.Get(0);
    TextFont font = stored != nullptr ? FontOf(*stored) : FontOf(view);
    font.italic = font.underline = false;
    const double line = LineSpacing(font);
    double rule = box.y + kNameHeight, left = box.x + kInset;
    for (const TextBlock& text : figure.texts) rule = std::max(rule, text.box.Bottom() + kBelowRule);
    if (stored != nullptr) {
        const tLocation at = stored->location.Get();
        if (Far(at.y) > box.y && Far(at.y) < box.Bottom()) rule = Far(at.y) - 2;
        left = Far(at.x);
    }
    left += kIconColumn;
    const double width = std::max(box.Right() - kInset - left, 0.0);
    const bool signature = view.ShowOperationSignature.Get();
    std::vector<std::string> shown[2];
    if (classifier != nullptr && attributes)
        for (const Property* property : classifier->Members<Property>()) shown[0].push_back(CutLine(AttributeText(*property), font, width));
    if (classifier != nullptr && operations)
        for (const Operation* operation : classifier->Members<Operation>())
            shown[1].push_back(CutLine(OperationText(*operation, signature ? Signature::Shown : Signature::Hidden), font, width));
    // A view that sizes itself grows downwards to hold what it shows; another shows what fits.
    const bool grows = view.autoResize.Get();
    for (int part = 0; part < 2; ++part) {
        if (!(part == 0 ? attributes : operations)) continue;
        if (!grows && rule >= box.Bottom()) break;
        figure.rules.push_back({{box.x, rule}, {box.Right(), rule}});
        std::vector<std::string>& lines = shown[part];
        if (!grows)
            lines.resize(std::min(lines.size(), static_cast<std::size_t>(std::max((box.Bottom() - rule - kBelowRule) / line, 0.0))));
        const double count = static_cast<double>(lines.size());
        if (count > 0)
            figure.texts.push_back(SetLines(std::move(lines), font, part == 0 ? TextRole::Attribute : TextRole::Operation,
                                            Align::Left, left, rule + kBelowRule, width));
        rule += kCompartmentPadding + line * count;
    }
    if (grows && rule > box.Bottom()) figure.box.height = rule - box.y;
}

// An interface's icon lists its members under its name where the file puts
// them, aligned as stored, without rules.
void tLayoutBuilder::Members(Figure& figure, const ClumClassView& view, const Classifier* classifier) {
    const ClumCompartment* stored = view.compartment.IsEmpty() ? nullptr : view.compartment.Get(0);
    if (stored == nullptr || classifier == nullptr) return;
    TextFont font = FontOf(*stored);
    font.italic = font.underline = false;
    const double width = std::max<double>(stored->max_width.Get(), 0);
    std::vector<std::string> lines;
    if (!view.SuppressAttribute.Get())
        for (const Property* property : classifier->Members<Property>()) lines.push_back(CutLine(AttributeText(*property), font, width));
    if (!view.SuppressOperation.Get())
        for (const Operation* operation : classifier->Members<Operation>())
            lines.push_back(CutLine(OperationText(*operation, view.ShowOperationSignature.Get() ? Signature::Shown : Signature::Hidden), font, width));
    if (lines.empty()) return;
    const tLocation at = stored->location.Get();
    const double rows = std::max<double>(stored->nlines.Get(), static_cast<double>(lines.size()));
    figure.texts.push_back(SetLines(std::move(lines), font, TextRole::Operation, stored->justify.Get() == 1 ? Align::Left : Align::Centre,
                                    Far(at.x), Far(at.y), width));
    figure.texts.back().box.height = rows * figure.texts.back().lineHeight;
}

// An icon with the name under it, where the file puts it.
void tLayoutBuilder::Icon(Figure& figure, const ClumSymbol& symbol, Shape shape) {
    figure.shape = shape;
    figure.box = shape == Shape::Interface ? StoredBox(symbol, kLollipop, kLollipop) : StoredBox(symbol, kIconWidth, kIconHeight);
    const std::string name = ShownName(figure.element, symbol);
    if (const ClumLabel* label = LabelOf(symbol)) {
        figure.texts.push_back(PlaceLabel(*label, name, TextRole::Name, FontOf(symbol)));
    } else if (!name.empty()) {
        const TextFont font = FontOf(symbol);
        figure.texts.push_back(SetLines(Wrap(name, font, 0, 0), font, TextRole::Name, Align::Centre,
                                        figure.box.x - figure.box.width, figure.box.Bottom(), figure.box.width * 3));
    }
    FromPackage(figure);
}

void tLayoutBuilder::UseCaseView(Figure& figure, const ClumSymbol& symbol) {
    const auto* quidu = AsRaw<ClumQuiduSymbol>(&symbol);
    const bool icon = quidu == nullptr || quidu->icon_style.IsEmpty() || quidu->icon_style.Get() == IconStyle_Icon;
    bool business = false;
    if (figure.element != nullptr) {
        const ClumIdent stereotype = figure.element->Stereotype();
        business = Word(std::wstring(stereotype.c_str(), stereotype.GetLength())) == L"businessusecase";
    }
    figure.shape = icon && business ? Shape::BusinessUseCase : Shape::UseCase;
    figure.box = StoredBox(symbol, kUseCaseWidth, kUseCaseHeight);
    std::string name = NameOf(figure.element);
    if (const ClumLabel* label = LabelOf(symbol)) {
        figure.texts.push_back(PlaceLabel(*label, name, TextRole::Name, FontOf(symbol)));
    } else if (!name.empty()) {
        const TextFont font = FontOf(symbol);
        figure.texts.push_back(SetLines(Wrap(name, font, figure.box.width * 2, 0), font, TextRole::Name, Align::Centre,
                                        figure.box.x - figure.box.width / 2, figure.box.Bottom(), figure.box.width * 2));
    }
    FromPackage(figure);
}

void tLayoutBuilder::NoteView(Figure& figure, const ClumSymbol& symbol) {
    figure.shape = Shape::Note;
    figure.box = StoredBox(symbol, kNoteWidth, kNoteHeight);
    if (const ClumLabel* label = LabelOf(symbol))
        figure.texts.push_back(PlaceLabel(*label, ShownText(label->label.Get()), TextRole::Note, FontOf(symbol)));
}

// A folder: the stored box is its body; its tab stands above it (the files
// end lines that far above the body).
void tLayoutBuilder::PackageView(Figure& figure, const ClumSymbol& symbol) {
    figure.shape = AsRaw<ClumSubSysView>(&symbol) != nullptr ? Shape::Subsystem : Shape::Package;
    figure.body = StoredBox(symbol, kClassWidth, kClassHeight);
    figure.box = {figure.body.x, figure.body.y - kTabHeight, figure.body.width, figure.body.height + kTabHeight};
    Name(figure, symbol, NameOf(figure.element));
    FromPackage(figure);
}

void tLayoutBuilder::PlainView(Figure& figure, const ClumSymbol& symbol) {
    figure.box = StoredBox(symbol, kClassWidth, kClassHeight);
    const std::string name = ShownName(figure.element, symbol);
    Name(figure, symbol, name);
}

}  // namespace lum::uml::detail
