#pragma once
// tLayoutKeeper: writes a model where the constructs of the file it was read
// from stood, and gives back the file's own bytes (feature order, blanks,
// line breaks and line ends, headers) for every part that writes the same as
// the file's does. Only what changed is laid out anew, as saved models are.

#include <cstdint>
#include <string>
#include <vector>

#include "lum/reader/file_layout.h"
#include "write/notation_parts.h"

namespace lum::write {

class tLayoutKeeper {
public:
    // `now` writes the model and takes the output; `was` writes the objects
    // of `original.File()` in the same code page, for comparison. The file's
    // bytes are in `readPage`; the output is in `writePage`.
    tLayoutKeeper(const FileLayout& original, tNotationParts& now, tNotationParts& was, unsigned int readPage,
                  unsigned int writePage);

    // Writes `objects` as the file's top-level constructs.
    void File(const std::vector<const ClumVellumEntity*>& objects);
    // Characters of the file's bytes that the written code page cannot hold.
    std::size_t Unrepresentable() const { return m_unrepresentable; }

private:
    void Object(const ClumVellumEntity& object, const LayoutNode& node, int depth);
    // Writes a feature whose value is a construct of objects element by
    // element; false when its shape changed too much for that.
    bool Elements(const ClumVellumEntity& object, const LayoutItem& item, std::uint64_t gapBegin, int depth);
    // For each object, the node among `nodes` that stood for it, or -1.
    std::vector<int> Pair(const std::vector<const ClumVellumEntity*>& objects, const std::vector<int>& nodes);
    static std::string Key(tNotationParts& parts, const ClumVellumEntity& object);
    // The order to write `objects` in: theirs, except that units written as
    // stubs go back where their stub stood in the file.
    std::vector<std::size_t> Order(const std::vector<const ClumVellumEntity*>& objects,
                                   const std::vector<int>& match);
    void Verbatim(std::uint64_t from, std::uint64_t to);
    void Generated(const std::string& text, std::size_t unrepresentable);

    const FileLayout& m_original;
    const std::vector<LayoutNode>& m_nodes;
    tNotationParts& m_now;
    tNotationParts& m_was;
    unsigned int m_readPage;
    unsigned int m_writePage;
    std::size_t m_unrepresentable = 0;
    std::string m_scratch;
    tPart m_nowPart;  // the parts compared last
    tPart m_wasPart;
};

}  // namespace lum::write
