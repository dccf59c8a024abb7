// The list of changes as text grouped by package, and as JSON.

#include <cstdio>

#include "lum/diff/diff.h"

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

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace

void WriteText(const std::vector<Change>& changes, std::ostream& out) {
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
}

void WriteJson(const std::vector<Change>& changes, std::ostream& out) {
    out << "{\n  \"format\": \"lum-diff/1\",\n  \"same\": " << (changes.empty() ? "true" : "false")
        << ",\n  \"packages\": [";
    const std::string* package = nullptr;
    for (const Change& change : changes) {
        if (package == nullptr || *package != change.package) {
            out << (package == nullptr ? "" : "\n    ]},") << "\n    {\"package\": " << Quote(change.package)
                << ", \"changes\": [";
        } else {
            out << ',';
        }
        package = &change.package;
        out << "\n      {\"change\": " << Quote(ChangeKindName(change.kind))
            << ", \"kind\": " << Quote(uml::KindName(change.element)) << ", \"noun\": " << Quote(change.noun)
            << ", \"path\": " << Quote(change.path);
        if (change.kind == ChangeKind::Renamed) out << ", \"oldName\": " << Quote(change.detail);
        if (change.kind == ChangeKind::Moved) out << ", \"oldOwner\": " << Quote(change.detail);
        if (change.kind == ChangeKind::Changed) {
            out << ", \"fields\": [";
            for (std::size_t i = 0; i < change.fields.size(); ++i) {
                const FieldChange& field = change.fields[i];
                out << (i ? ", " : "") << "{\"field\": " << Quote(field.field) << ", \"before\": " << Quote(field.before)
                    << ", \"after\": " << Quote(field.after) << '}';
            }
            out << ']';
        }
        out << '}';
    }
    out << (package == nullptr ? "]\n}\n" : "\n    ]}\n  ]\n}\n");
}

}  // namespace lum::diff
