#include "notation_writer.h"

#include <charconv>

namespace genmodel {

namespace {
constexpr std::size_t kNameColumn = 10;
}

std::string Quote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

void tNotationWriter::Indent(int depth) {
    m_out.append(static_cast<std::size_t>(depth / 2), '\t');
    if (depth % 2 != 0) m_out.append(4, ' ');
}

void tNotationWriter::Line(int depth, std::string_view text) {
    m_out += '\n';
    Indent(depth);
    m_out += text;
}

void tNotationWriter::Key(int depth, std::string_view name) {
    m_out += '\n';
    Indent(depth);
    m_out += name;
    if (name.size() < kNameColumn) m_out.append(kNameColumn - name.size(), ' ');
    m_out += " \t";
}

void tNotationWriter::AppendNumber(long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, result.ptr);
}

void tNotationWriter::Feature(int depth, std::string_view name, std::string_view value) {
    Key(depth, name);
    m_out += value;
}

void tNotationWriter::Number(int depth, std::string_view name, long value) {
    Key(depth, name);
    AppendNumber(value);
}

void tNotationWriter::Quoted(int depth, std::string_view name, std::string_view text) {
    Key(depth, name);
    m_out += '"';
    m_out += text;
    m_out += '"';
}

void tNotationWriter::Bars(int depth, std::string_view name, const std::vector<std::string>& lines) {
    Key(depth, name);
    for (const std::string& line : lines) {
        m_out += "\n|";
        m_out += line;
    }
    m_out += '\n';
    Indent(depth);
}

void tNotationWriter::Location(int depth, std::string_view name, tPoint at) {
    Key(depth, name);
    m_out += '(';
    AppendNumber(at.first);
    m_out += ", ";
    AppendNumber(at.second);
    m_out += ')';
}

void tNotationWriter::Points(int depth, const std::vector<tPoint>& points) {
    ListFeature(depth, "vertices", "Points");
    for (const tPoint& point : points) {
        Line(depth + 1, "(");
        AppendNumber(point.first);
        m_out += ", ";
        AppendNumber(point.second);
        m_out += ')';
    }
    Close();
}

void tNotationWriter::ObjectFeature(int depth, std::string_view name, std::string_view head) {
    Key(depth, name);
    m_out += "(object ";
    m_out += head;
}

void tNotationWriter::ListFeature(int depth, std::string_view name, std::string_view list) {
    Key(depth, name);
    m_out += "(list ";
    m_out += list;
}

}  // namespace genmodel
