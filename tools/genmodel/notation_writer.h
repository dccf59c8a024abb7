#pragma once
// tNotationWriter: appends model text laid out as saved models are: one
// feature per line, four blanks a nesting level (a tab for every two), the
// value after the feature name padded to a column, bar strings for text of
// several lines, and closing parentheses on the last line of what they close.
// Every line is begun with its line break, so Close() only appends.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace genmodel {

using tPoint = std::pair<int, int>;

class tNotationWriter {
public:
    explicit tNotationWriter(std::string& out) : m_out(out) {}

    void Line(int depth, std::string_view text);
    // A new line "name<padding> \t", the value to be appended.
    void Key(int depth, std::string_view name);
    void Append(std::string_view text) { m_out += text; }
    void AppendNumber(long value);

    void Feature(int depth, std::string_view name, std::string_view value);
    void Number(int depth, std::string_view name, long value);
    void Bool(int depth, std::string_view name, bool value) { Feature(depth, name, value ? "TRUE" : "FALSE"); }
    void Quoted(int depth, std::string_view name, std::string_view text);
    // Text of several lines as a bar string: each line after a '|' at the
    // start of a line, then an indented empty line.
    void Bars(int depth, std::string_view name, const std::vector<std::string>& lines);
    void Location(int depth, std::string_view name, tPoint at);
    void Points(int depth, const std::vector<tPoint>& points);
    // Opens "(object <head>" as the value of a feature.
    void ObjectFeature(int depth, std::string_view name, std::string_view head);
    // Opens "(list <name>" as the value of a feature.
    void ListFeature(int depth, std::string_view name, std::string_view list);
    void Close(int count = 1) { m_out.append(static_cast<std::size_t>(count), ')'); }

    std::size_t Size() const { return m_out.size(); }

private:
    void Indent(int depth);

    std::string& m_out;
};

// "text" with quotes.
std::string Quote(std::string_view text);

}  // namespace genmodel
