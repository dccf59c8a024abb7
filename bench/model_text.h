#pragma once
// The model text the benchmarks read: about 100 MB of notation, made once
// per run and the same on every machine (the random engine's sequence is
// fixed by the standard). A design whose categories hold classes with
// attributes (initial values of every kind), operations with parameters and
// exceptions, and documentation in bar strings; each category has a class
// diagram with many views that carry locations, fonts (a few distinct ones,
// repeated), labels, and inheritance and note lines with "Points" lists.

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace lumbench {

inline constexpr std::size_t kModelBytes = 100u * 1000u * 1000u;

inline std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) out += part;
    return out;
}

// Writes the model text. The random engine's sequence is fixed by the
// standard, so the text is the same on every machine.
class tModelText {
public:
    std::string Build(std::size_t target) {
        m_out.reserve(target + target / 8);
        Header();
        while (m_out.size() < target) Category();
        Line(1, "))");  // the category list and the root category
        Line(0, ")");   // the design
        return std::move(m_out);
    }

private:
    std::uint32_t Next() { return static_cast<std::uint32_t>(m_random()); }
    int Pick(int below) { return static_cast<int>(Next() % static_cast<std::uint32_t>(below)); }
    std::string Number(int below) { return std::to_string(Pick(below)); }
    std::string Bool() { return Pick(2) ? "TRUE" : "FALSE"; }
    std::string Quid() {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "\"%08X%04X\"", m_nQuid++, Next() & 0xFFFF);
        return buffer;
    }
    static std::string Quoted(std::string_view text) { return Join({"\"", text, "\""}); }
    static std::string At(int label) {
        std::string text = "@";
        text += std::to_string(label);
        return text;
    }
    static std::string Point(int x, int y) { return Join({"(", std::to_string(x), ", ", std::to_string(y), ")"}); }

    void Line(int depth, std::string_view text) {
        m_out.append(static_cast<std::size_t>(depth), '\t');
        m_out += text;
        m_out += '\n';
    }
    void Feature(int depth, std::string_view name, std::string_view value) {
        m_out.append(static_cast<std::size_t>(depth), '\t');
        m_out += name;
        m_out += " \t";
        m_out += value;
        m_out += '\n';
    }
    void Documentation(int depth, std::string_view subject) {
        static const char* const kLines[] = {
            "Keeps the state of one %s between two saves.",
            "Created by its factory and owned by its container; see the %s notes.",
            "Amounts are in \x80 (euro) \x97 a %s never rounds on its own.",
            "May be empty; the %s then takes the defaults of the model.",
        };
        Feature(depth, "documentation", "");
        const int lines = 1 + Pick(3);
        for (int i = 0; i < lines; ++i) {
            char buffer[120];
            std::snprintf(buffer, sizeof buffer, kLines[Pick(4)], std::string(subject).c_str());
            m_out += '|';
            m_out += buffer;
            m_out += '\n';
        }
        m_out.append(static_cast<std::size_t>(depth), '\t');
        m_out += '\n';
    }
    // One of a few fonts, written out in full each time as files do.
    void Font(int depth, std::string_view feature) {
        static const char* const kFaces[] = {"Sans", "Serif", "Mono"};
        Feature(depth, feature, "(object Font");
        Feature(depth + 1, "size", Pick(4) ? "10" : "12");
        Feature(depth + 1, "face", Quoted(kFaces[Pick(3)]));
        Feature(depth + 1, "bold", "FALSE");
        Feature(depth + 1, "italics", Pick(5) ? "FALSE" : "TRUE");
        Feature(depth + 1, "underline", "FALSE");
        Feature(depth + 1, "strike", "FALSE");
        Feature(depth + 1, "color", "0");
        Feature(depth + 1, "default_color", "TRUE)");
    }
    void Points(int depth, int count) {
        m_out.append(static_cast<std::size_t>(depth), '\t');
        m_out += "vertices \t(list Points";
        for (int i = 0; i < count; ++i) {
            m_out += '\n';
            m_out.append(static_cast<std::size_t>(depth + 1), '\t');
            m_out += Point(Pick(3000), Pick(2000));
        }
        m_out += ")\n";
    }

    void Header() {
        Line(0, "(object Vellum");
        Feature(1, "version", "50");
        Feature(1, "_written", "\"lum benchmark\"");
        Feature(1, "charSet", "0)");
        Line(0, "");
        Line(0, "(object Design \"Logical View\"");
        Feature(1, "is_unit", "TRUE");
        Feature(1, "is_loaded", "TRUE");
        Feature(1, "quid", Quid());
        Feature(1, "defaults", "(object defaults");
        Feature(2, "rightMargin", "0.250000");
        Feature(2, "gridX", "16");
        Font(2, "defaultFont");
        Feature(2, "notation", "\"Unified\")");
        Feature(1, "root_category", "(object Class_Category \"Logical View\"");
        Feature(2, "quid", Quid());
        Feature(2, "exportControl", "\"Public\"");
        Feature(2, "global", "TRUE");
        Feature(2, "logical_models", "(list unit_reference_list");
    }

    struct tClassInfo {
        std::string name;
        std::string quid;
        std::string superclass;  // the index of the superclass, or empty
        std::string relationQuid;
    };

    void Category() {
        const std::string name = "Package" + std::to_string(m_nCategories++);
        Line(3, Join({"(object Class_Category ", Quoted(name)}));
        Feature(4, "quid", Quid());
        Feature(4, "exportControl", "\"Public\"");
        Documentation(4, "package");
        Feature(4, "logical_models", "(list unit_reference_list");
        std::vector<tClassInfo> classes(static_cast<std::size_t>(10 + Pick(20)));
        for (std::size_t c = 0; c < classes.size(); ++c) {
            classes[c].name = Join({name, "_Class", std::to_string(c)});
            classes[c].quid = Quid();
            if (c > 0 && Pick(3) == 0) {
                classes[c].superclass = std::to_string(Pick(static_cast<int>(c)));
                classes[c].relationQuid = Quid();
            }
            Class(name, classes, c);
        }
        Line(4, ")");
        Feature(4, "logical_presentations", "(list unit_reference_list");
        Diagram(name, classes);
        Line(4, "))");
    }

    void Class(const std::string& category, const std::vector<tClassInfo>& classes, std::size_t index) {
        const tClassInfo& info = classes[index];
        Line(5, Join({"(object Class ", Quoted(info.name)}));
        Feature(6, "quid", info.quid);
        Documentation(6, "class");
        if (!info.superclass.empty()) {
            const tClassInfo& base = classes[std::stoul(info.superclass)];
            Feature(6, "superclasses", "(list inheritance_relationship_list");
            Line(7, "(object Inheritance_Relationship");
            Feature(8, "quid", info.relationQuid);
            Feature(8, "supplier", Quoted(Join({"Logical View::", category, "::", base.name})));
            Feature(8, "quidu", Join({base.quid, "))"}));
        }
        const int operations = Pick(4);
        if (operations > 0) {
            Feature(6, "operations", "(list Operations");
            for (int o = 0; o < operations; ++o) {
                Line(7, Join({"(object Operation \"operation", std::to_string(o), "\""}));
                Feature(8, "quid", Quid());
                Feature(8, "parameters", "(list Parameters");
                Line(9, "(object Parameter \"value\"");
                Feature(10, "quid", Quid());
                const char* type = Pick(2) ? "\"const in Integer\"" : "\"inout Logical View::Types::Amount\"";
                Feature(10, "type", Join({type, "))"}));
                Feature(8, "result", "\"Boolean\"");
                if (Pick(3) == 0) Feature(8, "exceptions", "\"Overflow, NotFound[2]\"");
                Feature(8, "concurrency", "\"Sequential\"");
                Feature(8, "opExportControl", "\"Public\"");
                Feature(8, "uid", Number(100000) + ")");
            }
            Line(6, ")");
        }
        const int attributes = Pick(6);
        if (attributes > 0) {
            static const char* const kInitial[] = {"\"0\"", "\"TRUE\"", "\"2.5\"", "\"none\"", "\"-1\""};
            Feature(6, "class_attributes", "(list class_attribute_list");
            for (int a = 0; a < attributes; ++a) {
                Line(7, Join({"(object ClassAttribute \"attribute", std::to_string(a), "\""}));
                Feature(8, "quid", Quid());
                Feature(8, "type", Pick(2) ? "\"Integer\"" : "\"String\"");
                Feature(8, "initv", kInitial[Pick(5)]);
                Feature(8, "exportControl", "\"Private\")");
            }
            Line(6, ")");
        }
        Feature(6, "language", "\"C++\")");
    }

    void Diagram(const std::string& category, const std::vector<tClassInfo>& classes) {
        Line(5, "(object ClassDiagram \"Main\"");
        Feature(6, "quid", Quid());
        Feature(6, "title", "\"Main\"");
        Feature(6, "zoom", "100");
        Feature(6, "max_height", "28350");
        Feature(6, "max_width", "21600");
        Feature(6, "items", "(list diagram_item_list");
        int label = 1;
        std::vector<int> views;
        for (const tClassInfo& info : classes) {
            const int x = 100 + Pick(2000), y = 100 + Pick(1500);
            views.push_back(label);
            Line(7, Join({"(object ClassView \"Class\" \"Logical View::", category, "::", info.name, "\" @",
                          std::to_string(label)}));
            Feature(8, "ShowCompartmentStereotypes", "TRUE");
            Feature(8, "IncludeAttribute", Bool());
            Feature(8, "IncludeOperation", Bool());
            Feature(8, "location", Point(x, y));
            if (Pick(2) == 0) Font(8, "font");
            Feature(8, "label", "(object ItemLabel");
            Feature(9, "Parent_View", At(label));
            Feature(9, "location", Point(x - 110, y - 80));
            Feature(9, "fill_color", "13434879");
            Feature(9, "nlines", "1");
            Feature(9, "max_width", "230");
            Feature(9, "justify", "0");
            Feature(9, "label", Quoted(info.name) + ")");
            Feature(8, "icon_style", "\"Icon\"");
            Feature(8, "fill_color", "13434879");
            Feature(8, "quidu", info.quid);
            Feature(8, "width", "240");
            Feature(8, "height", std::to_string(120 + Pick(100)));
            Feature(8, "autoResize", "TRUE)");
            ++label;
        }
        for (std::size_t c = 0; c < classes.size(); ++c) {
            if (classes[c].superclass.empty()) continue;
            Line(7, Join({"(object InheritView \"\" @", std::to_string(label++)}));
            Feature(8, "quidu", classes[c].relationQuid);
            Feature(8, "client", At(views[c]));
            Feature(8, "supplier", At(views[std::stoul(classes[c].superclass)]));
            Points(8, 2 + Pick(3));
            Feature(8, "line_style", "0)");
        }
        const int notes = 1 + Pick(3);
        for (int n = 0; n < notes; ++n) {
            const int note = label++;
            Line(7, Join({"(object NoteView @", std::to_string(note)}));
            Feature(8, "location", Point(Pick(2000), Pick(1500)));
            Feature(8, "label", "(object ItemLabel");
            Feature(9, "Parent_View", At(note));
            Feature(9, "location", Point(Pick(2000), Pick(1500)));
            Feature(9, "nlines", "2");
            Feature(9, "max_width", "300");
            Feature(9, "label", "");
            Line(0, "|Kept for the yearly review;");
            Line(0, "|ask before changing the layout.");
            Line(9, ")");
            Feature(8, "width", "320");
            Feature(8, "height", "90)");
            Line(7, Join({"(object AttachView \"\" @", std::to_string(label++)}));
            Feature(8, "client", At(note));
            const int target = views[static_cast<std::size_t>(Pick(static_cast<int>(views.size())))];
            Feature(8, "supplier", At(target));
            Points(8, 2);
            Feature(8, "line_style", "0)");
        }
        Line(6, "))");
    }

    std::string m_out;
    std::mt19937 m_random{20241205u};
    std::uint32_t m_nQuid = 0x4C000000u;
    int m_nCategories = 0;
};

// The model text, made once.
inline const std::string& ModelText() {
    static const std::string text = tModelText().Build(kModelBytes);
    return text;
}

}  // namespace lumbench
