// The list of changes as text grouped by package, and as JSON.

#include <cstdio>

#include "lum/diff/diff.h"
#include "lum/text/utf8.h"

namespace lum::diff {

namespace {

// One line per value: line breaks and tabs of documentation texts escaped.
std::string OneLine(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}


}  // namespace

bool WriteText(const std::vector<Change>& changes, std::ostream& out) {
    const std::string* package = nullptr;
    for (const Change& change : changes) {
        if (package == nullptr || *package != change.package) {
            package = &change.package;
            if (package->empty()) out << "top level\n";
            else out << "package " << *package << '\n';
        }
        out << "  " << ChangeKindName(change.kind) << ' ' << change.noun << ' ' << change.path;
        if (change.kind == ChangeKind::Renamed) out << " (was " << change.detail << ')';
        if (change.kind == ChangeKind::Moved) out << " (from " << (change.detail.empty() ? "top level" : change.detail) << ')';
        out << '\n';
        for (const FieldChange& field : change.fields) {
            out << "    " << field.field << ": ";
            if (field.before.empty()) out << "+ " << OneLine(field.after);
            else if (field.after.empty()) out << "- " << OneLine(field.before);
            else out << OneLine(field.before) << " -> " << OneLine(field.after);
            out << '\n';
        }
    }
    return static_cast<bool>(out.flush());
}

bool WriteJson(const std::vector<Change>& changes, std::ostream& out) {
    out << "{\n  \"format\": \"lum-diff/1\",\n  \"same\": " << (changes.empty() ? "true" : "false")
        << ",\n  \"packages\": [";
    const std::string* package = nullptr;
    for (const Change& change : changes) {
        if (package == nullptr || *package != change.package) {
            out << (package == nullptr ? "" : "\n    ]},") << "\n    {\"package\": " << JsonQuote(change.package)
                << ", \"changes\": [";
        } else {
            out << ',';
        }
        package = &change.package;
        out << "\n      {\"change\": " << JsonQuote(ChangeKindName(change.kind))
            << ", \"kind\": " << JsonQuote(uml::KindName(change.element)) << ", \"noun\": " << JsonQuote(change.noun)
            << ", \"path\": " << JsonQuote(change.path);
        if (change.kind == ChangeKind::Renamed) out << ", \"oldName\": " << JsonQuote(change.detail);
        if (change.kind == ChangeKind::Moved) out << ", \"oldOwner\": " << JsonQuote(change.detail);
        if (change.kind == ChangeKind::Changed) {
            out << ", \"fields\": [";
            for (std::size_t i = 0; i < change.fields.size(); ++i) {
                const FieldChange& field = change.fields[i];
                out << (i ? ", " : "") << "{\"field\": " << JsonQuote(field.field) << ", \"before\": " << JsonQuote(field.before)
                    << ", \"after\": " << JsonQuote(field.after) << '}';
            }
            out << ']';
        }
        out << '}';
    }
    out << (package == nullptr ? "]\n}\n" : "\n    ]}\n  ]\n}\n");
    return static_cast<bool>(out.flush());
}

}  // namespace lum::diff
