#pragma once
// tModelBuilder: the building half of reading a file. It turns the reader's
// events into model objects at once, keeping a stack of frames as its only
// untyped state; objects reach their owners when their construct closes.
// Equal fonts are pooled, and unit stubs are collected for the caller.

#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <unordered_map>
#include <vector>

#include "lum/reader/vellum_reader.h"
#include "lum/text/ident.h"

namespace lum {

class ClumVellumEntity;
class ClumVellumFile;
class ClumUnitObject;
class ClumFont;
class IlumLink;
class tObjectReadAhead;
struct tObjectRead;

enum class tFrameKind : std::int32_t { Object, PendingFeature, List, Value, Element, Font, Skip };

struct tParseFrame {
    tFrameKind kind;
    ClumIdent ident;                     // PendingFeature and List: the feature name
    ClumVellumEntity* object = nullptr;  // Object, List (the owner), Value and Font
};

// The attributes that make two fonts equal, ordered field by field.
struct tFontKey {
    unsigned int flags;  // bold, default_color, italics, underline, strike: bits 0 to 4
    int charSet;
    int size;
    int color;
    ClumIdent face;

    explicit tFontKey(const ClumFont& font);
    bool operator<(const tFontKey& other) const;
};

// Takes out of `units` the stubs that `root` contains, before it is deleted.
void ForgetUnitsInside(std::list<ClumUnitObject*>& units, const ClumVellumEntity* root);

class tModelBuilder : public tVellumReader {
public:
    tModelBuilder(ClumVellumFile& file, std::list<ClumUnitObject*>& units);
    // Frees what was never attached: objects of constructs left open and
    // fonts still pooled.
    ~tModelBuilder() override;

    // Sorts the top-level objects into the file and hands it the fonts.
    void Finish();

    // Splices in, as its reading reaches them, the objects `ahead` read.
    void ReadAheadWith(tObjectReadAhead& ahead);
    // Reads only the run of objects that opens where `lexer` stands, as if
    // it stood inside a list, up to `read.runEnd`, and hands the objects
    // with what came with them to `read`. Anything but an object (a font, a
    // feature, a stray parenthesis) ends the reading, and the read is not
    // complete.
    void ReadObjectRun(tVellumLexer& lexer, tObjectRead& read);
    // How many objects read ahead were spliced in.
    std::size_t Spliced() const { return m_spliced; }
    // Whether the file read may hold an external document (one was made,
    // here or in a run spliced in): only then has the loader paths to resolve.
    bool MadeExternalDocs() const { return m_externalDocs; }
    // Notes each object made from a construct header under the offset that
    // follows the header, for a reader that records where constructs stand.
    void NoteObjectsMade(std::unordered_map<std::uint64_t, ClumVellumEntity*>& made) { m_pMade = &made; }

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText,
                     const std::vector<WString>& arguments) override;
    void OnClose() override;
    void OnFeature(const WString& name, const WString& value, bool hasValue) override;
    bool OnMark(std::uint64_t offset) override;

private:
    // What closing a construct does once its frame is off the stack.
    void Closed(const tParseFrame& closed);
    // Puts an object read ahead in place, as if it had been read here.
    void Splice(tObjectRead& read);
    // Pools the read's fonts with the file's and points their uses at the
    // file's equal ones; returns the read's fonts that gave way, unused now.
    std::vector<ClumFont*> MergeFonts(tObjectRead& read);
    ClumVellumEntity* CreateFromHeader(const WString& className, const std::vector<WString>& arguments);
    ClumFont* InternFont(ClumFont* font);
    // Links a finished object into `feature` of its owner; when the owner has
    // no such link or the link does not take its class, it is set aside.
    void Attach(ClumVellumEntity* owner, const ClumIdent& feature, ClumVellumEntity* object, bool isObject);
    // Keeps a refused object on the file with its owner, feature and line.
    void SetAside(ClumVellumEntity* owner, const ClumIdent& feature, const IlumLink* link, ClumVellumEntity* object);
    void UnknownFeature(const ClumVellumEntity* owner, const ClumIdent& feature);
    // Deletes a free object that has no place, forgetting the unit stubs and
    // the set-aside entries inside it first.
    void DeleteFree(ClumVellumEntity* object);
    void PushSkip() { m_stack.push_back({tFrameKind::Skip, ClumIdent(), nullptr}); }

    ClumVellumFile& m_file;
    std::list<ClumUnitObject*>& m_units;
    std::vector<ClumVellumEntity*> m_topLevel;
    std::deque<tParseFrame> m_stack;
    std::map<tFontKey, ClumFont*> m_fonts;
    tObjectReadAhead* m_pAhead = nullptr;
    tObjectRead* m_pRun = nullptr;  // while reading a run of objects only
    bool m_runBroken = false;
    std::size_t m_spliced = 0;
    bool m_externalDocs = false;
    std::unordered_map<std::uint64_t, ClumVellumEntity*>* m_pMade = nullptr;
};

}  // namespace lum
