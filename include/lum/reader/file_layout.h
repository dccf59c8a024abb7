#pragma once
// FileLayout: one model file as it stands on disk, read again on its own
// (unit files not loaded): its bytes, where each construct, feature line and
// list element stands in them, and the object each construct made. A writer
// compares a model with it and gives back unchanged parts byte for byte.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumVellumFile;

// A feature line: "name value" or "name" followed by a construct.
struct LayoutItem {
    ClumIdent name;
    std::uint64_t begin = 0;       // the name's first byte
    std::uint64_t end = 0;         // just after the value
    int node = -1;                 // the construct that is the value, if any
};

// A construct "(object ...)", "(list ...)", "(value ...)", a raw construct,
// or a bare value standing as a list element.
struct LayoutNode {
    enum class Kind { Object, List, Value, Element };
    Kind kind = Kind::Element;
    std::uint64_t begin = 0;      // its first byte
    std::uint64_t headerEnd = 0;  // just after its class word and header strings
    std::uint64_t end = 0;        // just after its closing parenthesis
    const ClumVellumEntity* object = nullptr;  // what it made, when that lives in File()
    std::vector<LayoutItem> items;  // Object and Value: the feature lines
    std::vector<int> children;      // List: the elements
};

class FileLayout {
public:
    FileLayout();
    ~FileLayout();
    FileLayout(const FileLayout&) = delete;
    FileLayout& operator=(const FileLayout&) = delete;

    // Reads the file at `path` in `codePage` (0: the calling thread's
    // locale page), texts converted whole as models are read. False when it
    // cannot be read; its diagnostics are not reported, since the model
    // read from it has them already.
    bool Read(const WString& path, unsigned int codePage = 0);
    // The same from bytes in memory.
    void ReadBytes(std::string bytes, unsigned int codePage = 0);

    const std::string& Bytes() const { return m_bytes; }
    const ClumVellumFile& File() const { return *m_file; }
    const std::vector<LayoutNode>& Nodes() const { return m_nodes; }
    const std::vector<int>& TopLevel() const { return m_topLevel; }
    // "\r\n" when the file's first line ends so, else "\n".
    const char* LineEnd() const { return m_crlf ? "\r\n" : "\n"; }
    // The code page the bytes were read in.
    unsigned int CodePage() const { return m_codePage; }

private:
    friend class tLayoutRecorder;

    std::string m_bytes;
    std::unique_ptr<ClumVellumFile> m_file;
    std::vector<LayoutNode> m_nodes;
    std::vector<int> m_topLevel;
    bool m_crlf = false;
    unsigned int m_codePage = 0;
};

}  // namespace lum
LUM_API_END
