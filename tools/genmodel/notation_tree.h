#pragma once
// tNotationTree: the parenthesised objects of one generated model file with
// the byte ranges the editor needs to cut, insert and replace text. It reads
// what tNotationWriter writes (quoted strings without escapes, bar strings at
// the start of lines) and nothing more general.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace genmodel {

struct tRange {
    std::size_t begin = 0;
    std::size_t end = 0;  // one past the last byte
    bool Empty() const { return end <= begin; }
};

// A feature of an object whose value is a string, a bare token or a bar
// string (the range holds the text between the quotes, or the bar lines).
struct tFeature {
    std::string_view key;
    tRange value;
    bool bars = false;
};

// "(object Class "Name" @3 ...)", "(list name ...)", "(value Cardinality "1")",
// or an untyped "(1, 2)".
struct tNode {
    std::string_view keyword;  // object, list, value, or empty
    std::string_view type;     // Class, class_attribute_list, Cardinality, ...
    tRange name;               // the last quoted string of the head (or of a value)
    std::string_view label;    // "@3" when the object has one
    std::string_view key;      // the feature this node is the value of, if any
    std::size_t keyBegin = 0;  // where that feature's key begins
    std::size_t begin = 0;     // the '('
    std::size_t end = 0;       // the ')'
    int parent = -1;
    int depth = 0;  // the writer's nesting depth of the line the node begins on
    std::vector<int> children;
    std::vector<tFeature> features;  // objects only
};

class tNotationTree {
public:
    explicit tNotationTree(const std::string& text);

    const std::string& Text() const { return m_text; }
    const std::vector<tNode>& Nodes() const { return m_nodes; }
    const tNode& Node(int index) const { return m_nodes[static_cast<std::size_t>(index)]; }
    std::string_view View(tRange range) const { return std::string_view(m_text).substr(range.begin, range.end - range.begin); }
    std::string_view Name(int index) const { return View(Node(index).name); }
    // The value of the feature `key` of an object, or nullptr.
    const tFeature* Feature(int index, std::string_view key) const;
    std::string_view FeatureText(int index, std::string_view key) const;
    // The child that is the value of feature `key`, or -1.
    int Child(int index, std::string_view key) const;
    // From the line break before the node's first line (or its feature key)
    // to its ')': what removing it cuts.
    tRange Lines(int index, bool withKey) const;

private:
    const std::string& m_text;
    std::vector<tNode> m_nodes;
};

}  // namespace genmodel
