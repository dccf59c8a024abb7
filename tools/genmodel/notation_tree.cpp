#include "notation_tree.h"

#include <cctype>

namespace genmodel {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The writer's depth of the line holding `at`: two a tab, one for four blanks.
int LineDepth(const std::string& text, std::size_t at) {
    std::size_t start = text.rfind('\n', at);
    start = start == std::string::npos ? 0 : start + 1;
    int depth = 0;
    for (std::size_t i = start; i < at; ++i) {
        if (text[i] == '\t') depth += 2;
        else if (text[i] == ' ' && i + 3 < at && text.compare(i, 4, "    ") == 0) {
            ++depth;
            i += 3;
        } else break;
    }
    return depth;
}

}  // namespace

tNotationTree::tNotationTree(const std::string& text) : m_text(text) {
    std::vector<int> open;
    bool headDone = true;  // of the innermost open node
    tRange pendingKey;     // a key waiting for its value at the innermost object
    const std::size_t n = text.size();
    const auto setValue = [&](tRange value, bool bars) {
        if (open.empty() || pendingKey.Empty()) return;
        tNode& node = m_nodes[static_cast<std::size_t>(open.back())];
        node.features.push_back({View(pendingKey), value, bars});
        pendingKey = {};
    };
    for (std::size_t i = 0; i < n;) {
        const char c = text[i];
        if (Blank(c)) {
            ++i;
        } else if (c == '|' && (i == 0 || text[i - 1] == '\n')) {
            const std::size_t first = i;
            std::size_t last = i;
            while (i < n && text[i] == '|') {
                const std::size_t eol = text.find('\n', i);
                last = eol == std::string::npos ? n : eol;
                i = last == n ? n : last + 1;
            }
            setValue({first, last}, true);
        } else if (c == '"') {
            const std::size_t close = text.find('"', i + 1);
            const tRange value{i + 1, close == std::string::npos ? n : close};
            i = value.end + 1;
            if (!headDone) m_nodes[static_cast<std::size_t>(open.back())].name = value;
            else setValue(value, false);
        } else if (c == '(') {
            tNode node;
            node.begin = i;
            node.depth = LineDepth(text, i);
            node.parent = open.empty() ? -1 : open.back();
            if (!pendingKey.Empty()) {
                node.key = View(pendingKey);
                node.keyBegin = pendingKey.begin;
                pendingKey = {};
            }
            ++i;
            const auto word = [&] {
                while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
                const std::size_t start = i;
                while (i < n && !Blank(text[i]) && text[i] != '(' && text[i] != ')' && text[i] != '"') ++i;
                return std::string_view(text).substr(start, i - start);
            };
            if (i < n && std::isalpha(static_cast<unsigned char>(text[i]))) {
                node.keyword = word();
                node.type = word();
            }
            const int index = static_cast<int>(m_nodes.size());
            if (node.parent >= 0) m_nodes[static_cast<std::size_t>(node.parent)].children.push_back(index);
            m_nodes.push_back(std::move(node));
            open.push_back(index);
            headDone = m_nodes.back().keyword != "object" && m_nodes.back().keyword != "value";
        } else if (c == ')') {
            if (!open.empty()) {
                m_nodes[static_cast<std::size_t>(open.back())].end = i;
                open.pop_back();
            }
            headDone = true;
            pendingKey = {};
            ++i;
        } else {
            const std::size_t start = i;
            while (i < n && !Blank(text[i]) && text[i] != '(' && text[i] != ')' && text[i] != '"') ++i;
            const tRange token{start, i};
            if (open.empty()) continue;
            tNode& node = m_nodes[static_cast<std::size_t>(open.back())];
            if (!headDone && text[start] == '@') {
                node.label = View(token);
                continue;
            }
            headDone = true;
            if (node.keyword != "object") continue;
            if (pendingKey.Empty()) pendingKey = token;
            else setValue(token, false);
        }
    }
}

const tFeature* tNotationTree::Feature(int index, std::string_view key) const {
    for (const tFeature& feature : Node(index).features)
        if (feature.key == key) return &feature;
    return nullptr;
}

std::string_view tNotationTree::FeatureText(int index, std::string_view key) const {
    const tFeature* feature = Feature(index, key);
    return feature != nullptr ? View(feature->value) : std::string_view();
}

int tNotationTree::Child(int index, std::string_view key) const {
    for (int child : Node(index).children)
        if (Node(child).key == key) return child;
    return -1;
}

tRange tNotationTree::Lines(int index, bool withKey) const {
    const tNode& node = Node(index);
    const std::size_t first = withKey && !node.key.empty() ? node.keyBegin : node.begin;
    const std::size_t lineBreak = m_text.rfind('\n', first);
    return {lineBreak == std::string::npos ? first : lineBreak, node.end + 1};
}

}  // namespace genmodel
