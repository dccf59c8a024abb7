#include "write/layout_keeper.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>

#include "lum/meta/meta_class.h"
#include "lum/model/entity.h"
#include "lum/model/feature.h"
#include "lum/text/utf8.h"
#include "platform/codepage.h"

namespace lum::write {

namespace {

// A part laid out anew starts with a line break and its indentation; where
// it replaces a line of the file, the file's own break and indentation go
// before it instead.
std::string WithoutLineStart(const std::string& text) {
    std::size_t start = 0;
    if (start < text.size() && text[start] == '\n') ++start;
    while (start < text.size() && (text[start] == '\t' || text[start] == ' ')) ++start;
    return text.substr(start);
}

struct Keywords {
    static const ClumIdent& Quid() {
        static const ClumIdent quid(L"quid");
        return quid;
    }
};

bool Made(const LayoutNode& node) {
    return node.object != nullptr && (node.kind == LayoutNode::Kind::Object || node.kind == LayoutNode::Kind::Value);
}

}  // namespace

tLayoutKeeper::tLayoutKeeper(const FileLayout& original, tNotationParts& now, tNotationParts& was,
                             unsigned int readPage, unsigned int writePage)
    : m_original(original),
      m_nodes(original.Nodes()),
      m_now(now),
      m_was(was),
      m_readPage(readPage),
      m_writePage(writePage) {}

void tLayoutKeeper::File(const std::vector<const ClumVellumEntity*>& objects) {
    const std::vector<int>& top = m_original.TopLevel();
    const std::vector<int> match = Pair(objects, top);
    const std::uint64_t size = m_original.Bytes().size();
    const std::uint64_t first = top.empty() ? size : m_nodes[top.front()].begin;
    Verbatim(0, first);
    bool wrote = false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const int j = match[i];
        if (j < 0) {
            // Saved models put a blank line between top-level objects.
            Generated(wrote ? "\n\n" : "\n", 0);
            const tPart part = m_now.ElementText(*objects[i], 0);
            Generated(part.text, part.unrepresentable);
        } else {
            if (j > 0) Verbatim(m_nodes[top[j - 1]].end, m_nodes[top[j]].begin);
            Object(*objects[i], m_nodes[top[j]], 0);
        }
        wrote = true;
    }
    Verbatim(top.empty() ? size : m_nodes[top.back()].end, size);
}

void tLayoutKeeper::Object(const ClumVellumEntity& object, const LayoutNode& node, int depth) {
    m_now.HeaderText(object, m_nowPart);
    m_was.HeaderText(*node.object, m_wasPart);
    const bool sameHeader = m_nowPart.text == m_wasPart.text;
    if (node.kind == LayoutNode::Kind::Value) {
        if (sameHeader) Verbatim(node.begin, node.end);
        else Generated(m_nowPart.text, m_nowPart.unrepresentable);
        return;
    }
    if (sameHeader) Verbatim(node.begin, node.headerEnd);
    else Generated(m_nowPart.text, m_nowPart.unrepresentable);

    std::uint64_t at = node.headerEnd;
    // The features met in the file, and whether each wrote as the file has it.
    std::unordered_map<const void*, bool> met;
    for (const LayoutItem& item : node.items) {
        const std::uint64_t gapBegin = at;
        at = item.end;
        const auto seen = met.find(item.name.c_str());
        if (seen != met.end()) {
            // A further line of a feature of several lines.
            if (seen->second) Verbatim(gapBegin, item.end);
            continue;
        }
        if (item.node >= 0 && Elements(object, item, gapBegin, depth + 1)) {
            met.emplace(item.name.c_str(), false);
            continue;
        }
        m_now.FeatureText(object, item.name, depth + 1, m_nowPart);
        m_was.FeatureText(*node.object, item.name, depth + 1, m_wasPart);
        const bool same = m_nowPart.text == m_wasPart.text;
        met.emplace(item.name.c_str(), same);
        if (same) {
            Verbatim(gapBegin, item.end);
        } else if (!m_nowPart.text.empty()) {
            Verbatim(gapBegin, item.begin);
            Generated(WithoutLineStart(m_nowPart.text), m_nowPart.unrepresentable);
        }
    }
    // Features the file did not have, after those it had, unless they
    // hold what a missing line reads as.
    for (const ClumIdent& name : m_now.FeatureNames(object)) {
        if (met.count(name.c_str()) != 0 || (m_now.IsUnset(object, name) && m_was.IsUnset(*node.object, name))) continue;
        m_now.FeatureText(object, name, depth + 1, m_nowPart);
        m_was.FeatureText(*node.object, name, depth + 1, m_wasPart);
        if (m_nowPart.text != m_wasPart.text) Generated(m_nowPart.text, m_nowPart.unrepresentable);
    }
    Verbatim(at, node.end);
}

bool tLayoutKeeper::Elements(const ClumVellumEntity& object, const LayoutItem& item, std::uint64_t gapBegin,
                             int depth) {
    // Saved models nest a few dozen levels; deeper ones are laid out anew
    // below this, by the writer that refuses what it cannot nest.
    constexpr int kMaxKeptDepth = 256;
    if (depth > kMaxKeptDepth) return false;
    const LayoutNode& value = m_nodes[item.node];
    const std::vector<const ClumVellumEntity*> elements = m_now.ElementsOf(object, item.name);
    if (value.kind == LayoutNode::Kind::Object) {
        if (!Made(value) || elements.size() != 1) return false;
        if (&elements.front()->GetMetaClass() != &value.object->GetMetaClass()) return false;
        Verbatim(gapBegin, value.begin);
        Object(*elements.front(), value, depth);
        return true;
    }
    if (value.kind != LayoutNode::Kind::List || value.children.empty() || elements.empty()) return false;
    for (int child : value.children) {
        if (!Made(m_nodes[child])) return false;
    }
    const std::vector<int> match = Pair(elements, value.children);
    Verbatim(gapBegin, value.headerEnd);
    const LayoutNode& firstChild = m_nodes[value.children.front()];
    for (std::size_t i : Order(elements, match)) {
        const int j = match[i];
        if (j < 0) {
            Verbatim(value.headerEnd, firstChild.begin);
            const tPart part = m_now.ElementText(*elements[i], depth + 1);
            Generated(part.text, part.unrepresentable);
            continue;
        }
        const LayoutNode& child = m_nodes[value.children[j]];
        Verbatim(j == 0 ? value.headerEnd : m_nodes[value.children[j - 1]].end, child.begin);
        Object(*elements[i], child, depth + 1);
    }
    Verbatim(m_nodes[value.children.back()].end, value.end);
    return true;
}

std::vector<int> tLayoutKeeper::Pair(const std::vector<const ClumVellumEntity*>& objects,
                                     const std::vector<int>& nodes) {
    // By quid, which survives renaming; else by the first line each writes
    // (class, name, label); what is left by class, one after the other.
    std::unordered_map<std::string, std::deque<int>> byKey;
    std::unordered_map<const ClumMetaClass*, std::deque<int>> byClass;
    for (std::size_t j = 0; j < nodes.size(); ++j) {
        const LayoutNode& node = m_nodes[nodes[j]];
        if (!Made(node)) continue;
        byKey[Key(m_was, *node.object)].push_back(static_cast<int>(j));
        byClass[&node.object->GetMetaClass()].push_back(static_cast<int>(j));
    }
    std::vector<int> match(objects.size(), -1);
    std::vector<bool> taken(nodes.size(), false);
    auto take = [&](std::deque<int>& candidates, std::size_t i) {
        while (!candidates.empty() && taken[static_cast<std::size_t>(candidates.front())]) candidates.pop_front();
        if (candidates.empty()) return;
        match[i] = candidates.front();
        taken[static_cast<std::size_t>(candidates.front())] = true;
        candidates.pop_front();
    };
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const auto found = byKey.find(Key(m_now, *objects[i]));
        if (found != byKey.end()) take(found->second, i);
    }
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (match[i] >= 0) continue;
        const auto found = byClass.find(&objects[i]->GetMetaClass());
        if (found != byClass.end()) take(found->second, i);
    }
    return match;
}

std::string tLayoutKeeper::Key(tNotationParts& parts, const ClumVellumEntity& object) {
    const IlumFeature* quid = object.GetFeature(Keywords::Quid());
    const IlumAttribute* attribute = quid != nullptr ? const_cast<IlumFeature*>(quid)->GetAttribute() : nullptr;
    if (attribute == nullptr || attribute->IsEmpty()) {
        tPart header;
        parts.HeaderText(object, header);
        return std::move(header.text);
    }
    WString value;
    attribute->Encode(value);
    WString text = object.GetMetaClass().GetName().c_str();
    text += L'#';
    text += value;
    return ToUtf8(text);
}

std::vector<std::size_t> tLayoutKeeper::Order(const std::vector<const ClumVellumEntity*>& objects,
                                              const std::vector<int>& match) {
    // Loading moves each unit to the end of its list; its stub goes back.
    std::vector<std::size_t> order, moved;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (match[i] >= 0 && m_now.IsWrittenAsStub(*objects[i])) moved.push_back(i);
        else order.push_back(i);
    }
    std::sort(moved.begin(), moved.end(), [&](std::size_t a, std::size_t b) { return match[a] < match[b]; });
    for (std::size_t unit : moved) {
        std::size_t at = 0;
        for (std::size_t p = 0; p < order.size(); ++p) {
            if (match[order[p]] >= 0 && match[order[p]] < match[unit]) at = p + 1;
        }
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), unit);
    }
    return order;
}

void tLayoutKeeper::Verbatim(std::uint64_t from, std::uint64_t to) {
    if (to <= from) return;
    const char* bytes = m_original.Bytes().data() + from;
    const std::size_t count = static_cast<std::size_t>(to - from);
    if (m_readPage == m_writePage) {
        m_now.Put(bytes, count);
        return;
    }
    std::wstring text;
    platform::AppendMultiByte(text, m_readPage, bytes, count);
    m_scratch.clear();
    m_unrepresentable += platform::AppendWide(m_scratch, m_writePage, text.data(), text.size());
    m_now.Put(m_scratch.data(), m_scratch.size());
}

void tLayoutKeeper::Generated(const std::string& text, std::size_t unrepresentable) {
    m_unrepresentable += unrepresentable;
    const char* lineEnd = m_original.LineEnd();
    if (lineEnd[1] == 0) {
        m_now.Put(text.data(), text.size());
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) continue;
        m_now.Put(text.data() + start, i - start);
        m_now.Put("\r\n", 2);
        start = i + 1;
    }
    m_now.Put(text.data() + start, text.size() - start);
}

}  // namespace lum::write
