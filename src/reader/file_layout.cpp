#include "lum/reader/file_layout.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <streambuf>
#include <unordered_set>

#include "lum/diagnostics/error_list.h"
#include "lum/diagnostics/reporter.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes.h"
#include "platform/file_names.h"
#include "reader/model_builder.h"

namespace lum {

namespace {

bool IsSpaceByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDelimiterByte(char c) { return IsSpaceByte(c) || c == '"' || c == '(' || c == ')'; }

// Reads a string in memory without copying it.
class tMemoryBuffer : public std::streambuf {
public:
    explicit tMemoryBuffer(const std::string& bytes) {
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

// Every object the file holds: in its links, and set aside.
std::unordered_set<const ClumVellumEntity*> LiveObjects(const ClumVellumFile& file) {
    std::unordered_set<const ClumVellumEntity*> live;
    std::vector<const ClumVellumEntity*> pending{&file};
    for (const SetAsideObject& entry : file.setAside.Objects()) pending.push_back(entry.object.get());
    while (!pending.empty()) {
        const ClumVellumEntity* object = pending.back();
        pending.pop_back();
        if (!live.insert(object).second) continue;
        auto* entity = const_cast<ClumVellumEntity*>(object);
        for (const ClumMetaFeature* feature : object->GetMetaClass().m_linkFeatures) {
            const IlumLink* link = feature->m_pfnGetFeature(entity)->GetLink();
            for (int i = 0; i < link->GetSize(); ++i) pending.push_back(link->GetAt(i));
        }
    }
    return live;
}

// The calling thread reads in a code page, texts converted whole, while it lives.
class tReadingSettings {
public:
    explicit tReadingSettings(unsigned int codePage) {
        WString::SetThreadLocalePage(codePage);
        tVellumLexer::SetThreadConvertTextsWhole(true);
    }
    ~tReadingSettings() {
        WString::SetThreadLocalePage(0);
        tVellumLexer::ClearThreadConvertTextsWhole();
    }
    tReadingSettings(const tReadingSettings&) = delete;
    tReadingSettings& operator=(const tReadingSettings&) = delete;
};

}  // namespace

// Builds the file's objects as any reading does, and notes where each
// construct, feature line and element begins and ends on the way.
class tLayoutRecorder : public tModelBuilder {
public:
    tLayoutRecorder(FileLayout& layout, std::list<ClumUnitObject*>& units)
        : tModelBuilder(*layout.m_file, units), m_layout(layout) {
        NoteObjectsMade(m_made);
    }

    // Constructs the file leaves open run to its end.
    void CloseAtEnd() {
        EndPending(true);
        while (!m_open.empty()) {
            const tOpen open = m_open.back();
            m_open.pop_back();
            Close(open.node, open.owner, open.item, m_layout.m_bytes.size());
        }
    }

    // What each construct made, by where the lexer stood after its header.
    struct tMade {
        std::unordered_map<std::uint64_t, ClumVellumEntity*> objects;
        std::vector<std::uint64_t> read;  // of each node
    };
    tMade TakeMade() { return {std::move(m_made), std::move(m_read)}; }

    // Points each construct at the object it made, if that object lives in
    // the file: asked once the building is over, since ending it deletes
    // what never reached the file.
    static void Resolve(FileLayout& layout, const tMade& made) {
        const std::unordered_set<const ClumVellumEntity*> live = LiveObjects(*layout.m_file);
        for (std::size_t i = 0; i < layout.m_nodes.size(); ++i) {
            LayoutNode& node = layout.m_nodes[i];
            if (node.kind != LayoutNode::Kind::Object && node.kind != LayoutNode::Kind::Value) continue;
            const auto object = made.objects.find(made.read[i]);
            if (object == made.objects.end() || live.count(object->second) == 0) continue;
            node.object = object->second;
        }
    }

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText,
                     const std::vector<WString>& arguments) override {
        const std::uint64_t begin = Start();
        const bool valueOfFeature = EndPending(false);
        tModelBuilder::OnConstruct(keyword, classOrText, arguments);
        // Looking for more header strings, the lexer passed the blanks after them.
        const std::uint64_t read = GetLexer().GetOffset();
        std::uint64_t after = read;
        while (after > begin && IsSpaceByte(m_layout.m_bytes[after - 1])) --after;
        m_read.push_back(read);
        LayoutNode node;
        node.kind = KindOf(keyword);
        node.begin = begin;
        node.headerEnd = after;
        const int index = static_cast<int>(m_layout.m_nodes.size());
        m_layout.m_nodes.push_back(std::move(node));
        int owner = -1, item = -1;
        if (valueOfFeature) {
            owner = m_pendingNode;
            item = m_pendingItem;
            m_pendingNode = m_pendingItem = -1;
            m_layout.m_nodes[owner].items[item].node = index;
        } else if (m_open.empty()) {
            m_layout.m_topLevel.push_back(index);
        } else if (m_layout.m_nodes[m_open.back().node].kind == LayoutNode::Kind::List) {
            m_layout.m_nodes[m_open.back().node].children.push_back(index);
        }
        // A point list under a feature is read whole by the building half.
        const bool whole = m_layout.m_nodes[index].kind == LayoutNode::Kind::Element ||
                           (valueOfFeature && m_layout.m_nodes[index].kind == LayoutNode::Kind::List &&
                            classOrText == L"Points");
        if (whole) {
            Close(index, owner, item, after);
        } else {
            m_open.push_back({index, owner, item});
        }
        m_last = after;
    }

    void OnClose() override {
        Start();
        EndPending(true);
        tModelBuilder::OnClose();
        const std::uint64_t after = GetLexer().GetOffset();
        if (!m_open.empty()) {
            const tOpen open = m_open.back();
            m_open.pop_back();
            Close(open.node, open.owner, open.item, after);
        }
        m_last = after;
    }

    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        const std::uint64_t begin = Start();
        EndPending(true);
        tModelBuilder::OnFeature(name, value, hasValue);
        const std::uint64_t after = GetLexer().GetOffset();
        m_last = after;
        if (m_open.empty()) return;
        LayoutNode& owner = m_layout.m_nodes[m_open.back().node];
        if (owner.kind == LayoutNode::Kind::List) return;
        LayoutItem item;
        item.name = ClumIdent(name);
        item.begin = begin;
        const std::string& bytes = m_layout.m_bytes;
        std::uint64_t at = begin;
        while (at < bytes.size() && !IsDelimiterByte(bytes[at])) ++at;
        m_nameEnd = at;
        item.end = hasValue ? after : at;
        owner.items.push_back(std::move(item));
        if (!hasValue) {
            m_pendingNode = m_open.back().node;
            m_pendingItem = static_cast<int>(owner.items.size()) - 1;
        }
    }

private:
    struct tOpen {
        int node;
        int owner;  // the node and feature line whose value it is, or -1
        int item;
    };

    static LayoutNode::Kind KindOf(const WString& keyword) {
        if (keyword == L"object") return LayoutNode::Kind::Object;
        if (keyword == L"list") return LayoutNode::Kind::List;
        if (keyword == L"value") return LayoutNode::Kind::Value;
        return LayoutNode::Kind::Element;
    }

    // Where the next token begins: past the blanks after the last one.
    std::uint64_t Start() {
        const std::string& bytes = m_layout.m_bytes;
        while (m_last < bytes.size() && IsSpaceByte(bytes[m_last])) ++m_last;
        return m_last;
    }

    // Ends a feature line still waiting for its value; `none` when none
    // came (a feature name alone). True when a value is awaited.
    bool EndPending(bool none) {
        if (m_pendingNode < 0) return false;
        if (!none) return true;
        LayoutItem& item = m_layout.m_nodes[m_pendingNode].items[m_pendingItem];
        item.end = m_nameEnd;
        m_pendingNode = m_pendingItem = -1;
        return false;
    }

    void Close(int node, int owner, int item, std::uint64_t end) {
        m_layout.m_nodes[node].end = end;
        if (owner >= 0) m_layout.m_nodes[owner].items[item].end = end;
    }

    FileLayout& m_layout;
    std::unordered_map<std::uint64_t, ClumVellumEntity*> m_made;
    std::vector<std::uint64_t> m_read;  // of each node, where the lexer stood after its header
    std::vector<tOpen> m_open;
    std::uint64_t m_last = 0;
    std::uint64_t m_nameEnd = 0;
    int m_pendingNode = -1;
    int m_pendingItem = -1;
};

FileLayout::FileLayout() : m_file(std::make_unique<ClumVellumFile>()) {}

FileLayout::~FileLayout() = default;

bool FileLayout::Read(const WString& path, unsigned int codePage) {
    std::ifstream in(platform::FindFileName(path), std::ios::in | std::ios::binary);
    if (!in.is_open()) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    ReadBytes(std::move(bytes), codePage);
    m_file->fileName.Set(path);
    return true;
}

void FileLayout::ReadBytes(std::string bytes, unsigned int codePage) {
    m_bytes = std::move(bytes);
    m_file = std::make_unique<ClumVellumFile>();
    m_nodes.clear();
    m_topLevel.clear();
    const std::size_t lineFeed = m_bytes.find('\n');
    m_codePage = codePage != 0 ? codePage : WString::GetLocalePage();
    m_crlf = lineFeed != std::string::npos && lineFeed > 0 && m_bytes[lineFeed - 1] == '\r';

    tErrorList ignored;
    ErrorListScope scope(ignored);
    tReadingSettings settings(m_codePage);
    std::list<ClumUnitObject*> units;
    tMemoryBuffer buffer(m_bytes);
    std::istream in(&buffer);
    tLayoutRecorder::tMade made;
    {
        tLayoutRecorder recorder(*this, units);
        tVellumLexer lexer(in);
        recorder.Run(lexer);
        recorder.Finish();
        recorder.CloseAtEnd();
        made = recorder.TakeMade();
    }
    tLayoutRecorder::Resolve(*this, made);
}

}  // namespace lum
