#include "diagram_writer.h"

namespace genmodel {

namespace {
constexpr long kLineColor = 3342489;
constexpr long kFillColor = 13434879;
const char* const kFaces[] = {"Sans", "Sans", "Serif", "Mono"};
}  // namespace

std::string tDiagramWriter::At(int label) {
    std::string text = "@";
    text += std::to_string(label);
    return text;
}

void tDiagramWriter::BeginDiagram(int depth, std::string_view kind, std::string_view name, std::string_view quid) {
    m_depth = depth;
    std::string head = "(object ";
    head += kind;
    head += ' ';
    head += Quote(name);
    m_out.Line(depth, head);
    m_out.Quoted(depth + 1, "quid", quid);
    m_out.Quoted(depth + 1, "title", name);
    m_out.Number(depth + 1, "zoom", 100);
    m_out.Number(depth + 1, "max_height", 28350);
    m_out.Number(depth + 1, "max_width", 21600);
    m_out.Number(depth + 1, "origin_x", m_random.Below(4) * 100);
    m_out.Number(depth + 1, "origin_y", m_random.Below(4) * 100);
    m_out.ListFeature(depth + 1, "items", "diagram_item_list");
}

void tDiagramWriter::BeginView(std::string_view head, int label) {
    m_out.Line(Item(), "(object ");
    m_out.Append(head);
    m_out.Append(" @");
    m_out.AppendNumber(label);
}

void tDiagramWriter::Font(int depth, std::string_view feature) {
    m_out.ObjectFeature(depth, feature, "Font");
    m_out.Number(depth + 1, "size", m_random.Chance(80) ? 10 : 12);
    m_out.Quoted(depth + 1, "face", m_random.Pick(kFaces));
    m_out.Bool(depth + 1, "bold", m_random.Chance(10));
    m_out.Bool(depth + 1, "italics", m_random.Chance(15));
    m_out.Bool(depth + 1, "underline", false);
    m_out.Bool(depth + 1, "strike", false);
    m_out.Number(depth + 1, "color", 0);
    m_out.Bool(depth + 1, "default_color", true);
    m_out.Close();
}

void tDiagramWriter::ItemLabel(int depth, std::string_view feature, int parent, tPoint at, std::string_view text,
                               int lines) {
    m_out.ObjectFeature(depth, feature, "ItemLabel");
    m_out.Feature(depth + 1, "Parent_View", At(parent));
    m_out.Location(depth + 1, "location", at);
    if (m_random.Chance(50)) m_out.Number(depth + 1, "fill_color", kFillColor);
    m_out.Number(depth + 1, "nlines", lines);
    m_out.Number(depth + 1, "max_width", 180 + 20 * m_random.Below(8));
    if (m_random.Chance(50)) m_out.Number(depth + 1, "justify", 0);
    m_out.Quoted(depth + 1, "label", text);
    m_out.Close();
}

void tDiagramWriter::SegLabel(int depth, int parent, tPoint at, std::string_view text, double distance) {
    m_out.ObjectFeature(depth, "label", "SegLabel ");
    m_out.Append(At(NewLabel()));
    m_out.Feature(depth + 1, "Parent_View", At(parent));
    m_out.Location(depth + 1, "location", at);
    m_out.Number(depth + 1, "anchor", 1);
    m_out.Number(depth + 1, "anchor_loc", 1);
    m_out.Number(depth + 1, "nlines", 1);
    m_out.Number(depth + 1, "max_width", 60 + 10 * m_random.Below(20));
    m_out.Number(depth + 1, "justify", 0);
    m_out.Quoted(depth + 1, "label", text);
    m_out.Feature(depth + 1, "pctDist", distance < 0.5 ? "0.200000" : distance > 0.5 ? "0.800000" : "0.500000");
    m_out.Number(depth + 1, "height", 20 + m_random.Below(30));
    m_out.Number(depth + 1, "orientation", m_random.Below(2));
    m_out.Close();
}

std::vector<tPoint> tDiagramWriter::Route(tPoint from, tPoint to) {
    std::vector<tPoint> points{from};
    if (m_random.Chance(40)) {
        const int middle = (from.second + to.second) / 2;
        points.emplace_back(from.first, middle);
        points.emplace_back(to.first, middle);
    }
    points.push_back(to);
    return points;
}

int tDiagramWriter::ClassView(std::string_view path, std::string_view name, std::string_view quid, tPoint at,
                              std::string_view stereotype, const std::vector<std::string>& compartment) {
    const int label = NewLabel();
    const int d = Item() + 1;
    std::string head = "ClassView \"Class\" ";
    head += Quote(path);
    BeginView(head, label);
    m_out.Bool(d, "ShowCompartmentStereotypes", true);
    if (m_random.Chance(30)) m_out.Bool(d, "SuppressAttribute", m_random.Chance(50));
    m_out.Bool(d, "IncludeAttribute", true);
    m_out.Bool(d, "IncludeOperation", true);
    m_out.Location(d, "location", at);
    if (m_random.Chance(60)) Font(d, "font");
    ItemLabel(d, "label", label, {at.first - 110, at.second - 60}, name, 1);
    if (!stereotype.empty()) {
        std::string text = "<<";
        text += stereotype;
        text += ">>";
        ItemLabel(d, "stereotype", label, {at.first - 110, at.second - 85}, text, 1);
    }
    m_out.Quoted(d, "icon_style", "Icon");
    m_out.Number(d, "line_color", kLineColor);
    m_out.Number(d, "fill_color", kFillColor);
    m_out.Quoted(d, "quidu", quid);
    if (!compartment.empty()) {
        m_out.ObjectFeature(d, "compartment", "Compartment");
        m_out.Feature(d + 1, "Parent_View", At(label));
        m_out.Location(d + 1, "location", {at.first - 110, at.second - 30});
        if (m_random.Chance(50)) Font(d + 1, "font");
        m_out.Quoted(d + 1, "icon_style", "Icon");
        m_out.Number(d + 1, "fill_color", kFillColor);
        m_out.Number(d + 1, "anchor", 2);
        m_out.Number(d + 1, "nlines", static_cast<long>(compartment.size()) + 1);
        m_out.Number(d + 1, "max_width", 300);
        m_out.ListFeature(d + 1, "compartmentItems", "Compartment_items");
        for (const std::string& item : compartment) m_out.Line(d + 2, Quote(item));
        m_out.Close(2);
    }
    m_out.Number(d, "width", 240 + 20 * m_random.Below(6));
    m_out.Number(d, "height", 120 + 15 * static_cast<long>(compartment.size()));
    m_out.Number(d, "annotation", 8);
    m_out.Bool(d, "autoResize", true);
    m_out.Close();
    return label;
}

int tDiagramWriter::CategoryView(std::string_view path, std::string_view name, std::string_view quid, tPoint at) {
    const int label = NewLabel();
    const int d = Item() + 1;
    std::string head = "CategoryView ";
    head += Quote(path);
    BeginView(head, label);
    m_out.Location(d, "location", at);
    if (m_random.Chance(40)) Font(d, "font");
    ItemLabel(d, "label", label, {at.first - 140, at.second - 80}, name, 2);
    m_out.Quoted(d, "icon_style", "Icon");
    m_out.Number(d, "line_color", kLineColor);
    m_out.Number(d, "fill_color", kFillColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.Number(d, "width", 300);
    m_out.Number(d, "height", 180);
    m_out.Close();
    return label;
}

int tDiagramWriter::UseCaseView(std::string_view path, std::string_view name, std::string_view quid, tPoint at) {
    const int label = NewLabel();
    const int d = Item() + 1;
    std::string head = "UseCaseView ";
    head += Quote(path);
    BeginView(head, label);
    m_out.Location(d, "location", at);
    if (m_random.Chance(40)) Font(d, "font");
    ItemLabel(d, "label", label, {at.first, at.second + 100}, name, 2);
    m_out.Quoted(d, "icon_style", "Icon");
    m_out.Number(d, "line_color", kLineColor);
    m_out.Number(d, "fill_color", kFillColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.Number(d, "height", 80);
    m_out.Close();
    return label;
}

int tDiagramWriter::StateView(std::string_view kind, std::string_view name, std::string_view quid, tPoint at) {
    const int label = NewLabel();
    const int d = Item() + 1;
    std::string head = "StateView ";
    head += Quote(kind);
    head += ' ';
    head += Quote(name);
    BeginView(head, label);
    m_out.Location(d, "location", at);
    const bool pseudo = kind != "Normal";
    if (!pseudo) {
        if (m_random.Chance(40)) Font(d, "font");
        ItemLabel(d, "label", label, at, name, 2);
        m_out.Quoted(d, "icon_style", "Icon");
        m_out.Number(d, "fill_color", kFillColor);
    }
    m_out.Number(d, "line_color", kLineColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.Number(d, "width", pseudo ? 40 : 200);
    m_out.Number(d, "height", pseudo ? 40 : 100);
    if (!pseudo) m_out.Bool(d, "autoResize", true);
    m_out.Close();
    return label;
}

void tDiagramWriter::Note(const std::vector<std::string>& text, tPoint at, int target, tPoint targetAt) {
    const int note = NewLabel();
    const int d = Item() + 1;
    BeginView("NoteView", note);
    m_out.Location(d, "location", at);
    if (m_random.Chance(30)) Font(d, "font");
    m_out.ObjectFeature(d, "label", "ItemLabel");
    m_out.Feature(d + 1, "Parent_View", At(note));
    m_out.Location(d + 1, "location", {at.first - 140, at.second - 50});
    m_out.Number(d + 1, "nlines", static_cast<long>(text.size()) + 1);
    m_out.Number(d + 1, "max_width", 280);
    m_out.Bars(d + 1, "label", text);
    m_out.Close();
    m_out.Number(d, "line_color", kLineColor);
    m_out.Number(d, "fill_color", kFillColor);
    m_out.Number(d, "width", 340);
    m_out.Number(d, "height", 60 + 20 * static_cast<long>(text.size()));
    m_out.Close();
    BeginView("AttachView \"\"", NewLabel());
    m_out.Number(d, "line_color", kLineColor);
    m_out.Feature(d, "client", At(note));
    m_out.Feature(d, "supplier", At(target));
    m_out.Points(d, {at, targetAt});
    m_out.Number(d, "line_style", 0);
    m_out.Close();
}

int tDiagramWriter::RelationLine(std::string_view kind, std::string_view quid, int client, tPoint from, int supplier,
                                 tPoint to) {
    const int label = NewLabel();
    const int d = Item() + 1;
    std::string head(kind);
    head += " \"\"";
    BeginView(head, label);
    m_out.Number(d, "line_color", kLineColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.Feature(d, "client", At(client));
    m_out.Feature(d, "supplier", At(supplier));
    m_out.Points(d, Route(from, to));
    m_out.Number(d, "line_style", m_random.Below(4) == 0 ? 3 : 0);
    m_out.Close();
    return label;
}

void tDiagramWriter::AssociationView(std::string_view name, std::string_view quid, const tRoleEnd& first,
                                     const tRoleEnd& second) {
    const int view = NewLabel();
    const int d = Item() + 1;
    const tPoint middle{(first.at.first + second.at.first) / 2, (first.at.second + second.at.second) / 2};
    std::string head = "AssociationViewNew ";
    head += Quote(name);
    BeginView(head, view);
    m_out.Location(d, "location", middle);
    if (name.rfind("$UNNAMED$", 0) != 0) SegLabel(d, view, {middle.first, middle.second - 30}, name, 0.5);
    m_out.Number(d, "line_color", kLineColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.ListFeature(d, "roleview_list", "RoleViews");
    for (const tRoleEnd* end : {&first, &second}) {
        std::string role = "RoleView ";
        role += Quote(end->name);
        m_out.Line(d + 1, "(object ");
        m_out.Append(role);
        const int roleView = NewLabel();
        m_out.Append(" ");
        m_out.Append(At(roleView));
        const int r = d + 2;
        m_out.Feature(r, "Parent_View", At(view));
        m_out.Location(r, "location", {end->at.first - middle.first, end->at.second - middle.second});
        if (m_random.Chance(25)) Font(r, "font");
        if (end->name.rfind("$UNNAMED$", 0) != 0) {
            std::string text = "+";
            text += end->name;
            SegLabel(r, roleView, {end->at.first + 20, end->at.second - 40}, text, 0.8);
        }
        m_out.Number(r, "line_color", kLineColor);
        m_out.Quoted(r, "quidu", end->quid);
        m_out.Feature(r, "client", At(view));
        m_out.Feature(r, "supplier", At(end->view));
        m_out.Points(r, {middle, end->at});
        m_out.Number(r, "line_style", 0);
        m_out.Close();
    }
    m_out.Close(2);
}

void tDiagramWriter::TransitionView(std::string_view label, std::string_view quid, int client, tPoint from,
                                    int supplier, tPoint to) {
    const int view = NewLabel();
    const int d = Item() + 1;
    BeginView("TransView \"\"", view);
    SegLabel(d, view, {(from.first + to.first) / 2, (from.second + to.second) / 2 - 20}, label, 0.5);
    m_out.Number(d, "line_color", kLineColor);
    m_out.Quoted(d, "quidu", quid);
    m_out.Feature(d, "client", At(client));
    m_out.Feature(d, "supplier", At(supplier));
    m_out.Points(d, Route(from, to));
    m_out.Number(d, "line_style", 0);
    m_out.Bool(d, "x_offset", false);
    m_out.Close();
}

}  // namespace genmodel
