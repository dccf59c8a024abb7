#pragma once
// The ground every unit test stands on: a fixture with the metamodel and a
// private error list, model text read from memory, walks over an object
// graph, a stream buffer that hands out its bytes awkwardly, a code page
// guard and a scratch folder.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

namespace fs = std::filesystem;
using Strings = std::vector<std::wstring>;

inline std::wstring Text(const WString& text) { return text; }
inline std::wstring Text(const ClumIdent& ident) { return ident.c_str(); }

// "Severity line: message", the line left out when the subject has none.
inline Strings Lines(const tErrorList& errors) {
    Strings out;
    for (const tError& error : errors) {
        std::wstring line = tError::ToString(error.severity);
        if (error.subject.line != 0) line += L" " + std::to_wstring(error.subject.line);
        out.push_back(line + L": " + std::wstring(error.message));
    }
    return out;
}

inline Strings Messages(const tErrorList& errors) {
    Strings out;
    for (const tError& error : errors) out.push_back(error.message);
    return out;
}

// Diagnostics go to `errors` for the length of one test; with the metamodel
// when the fixture is LumTest.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override { CErrorReporter::GetInstance().SetErrorList(errors); }
    void TearDown() override { CErrorReporter::GetInstance().ResetReporter(); }
    Strings Messages() const { return test::Messages(errors); }
    Strings Lines() const { return test::Lines(errors); }
    // The messages so far, which are then forgotten.
    Strings Take() {
        Strings out = Messages();
        errors.clear();
        return out;
    }
    tErrorList errors;
};

class LumTest : public CaptureTest {
protected:
    void SetUp() override {
        InitializeLUM();
        CaptureTest::SetUp();
    }
    void TearDown() override {
        units.clear();
        CaptureTest::TearDown();
        FinalizeLUM();
    }
    // `text` read as the file "test.mdl"; the file must be gone before TearDown.
    std::unique_ptr<ClumVellumFile> Read(const std::string& text) {
        auto file = std::make_unique<ClumVellumFile>();
        std::istringstream in(text, std::ios::in | std::ios::binary);
        ClumParser::Parse(in, L"test.mdl", *file, units);
        return file;
    }
    std::list<ClumUnitObject*> units;
};

// --- Object graphs ----------------------------------------------------------

// `root`, then every object below it through its links, depth first.
inline void ForEachObject(ClumVellumEntity* root, const std::function<void(ClumVellumEntity*)>& visit) {
    visit(root);
    for (const ClumMetaFeature* feature : root->GetMetaClass().m_linkFeatures) {
        const int size = feature->m_pfnLinkSize(root);
        for (int i = 0; i < size; ++i) ForEachObject(feature->m_pfnLinkGetAt(root, i), visit);
    }
}

template <class T>
T* As(ClumVellumEntity* object) {
    if (object == nullptr || !object->GetMetaClass().IsKindOf(&T::StaticGetMetaClass())) return nullptr;
    return static_cast<T*>(object);
}

// An attribute as written in a file, "<none>" when there is no such attribute.
inline std::wstring Attr(const ClumVellumEntity* object, const wchar_t* keyword) {
    const IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    const IlumAttribute* attribute = feature ? feature->GetAttribute() : nullptr;
    if (attribute == nullptr) return L"<none>";
    WString out;
    attribute->Encode(out);
    return out;
}

// A reference as written, the values of a list joined by " | ".
inline std::wstring Ref(const ClumVellumEntity* object, const wchar_t* keyword) {
    const IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    const IlumReference* reference = feature ? feature->GetReference() : nullptr;
    if (reference == nullptr) return L"<none>";
    std::wstring joined;
    for (int i = reference->IsSingle() ? -1 : 0; i < (reference->IsSingle() ? 0 : reference->GetCount()); ++i) {
        WString out;
        reference->EncodeReference(out, i);
        joined += (i > 0 ? L" | " : L"") + std::wstring(out);
    }
    return joined;
}

inline std::vector<ClumVellumEntity*> Children(ClumVellumEntity* object, const wchar_t* keyword) {
    std::vector<ClumVellumEntity*> out;
    IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    IlumLink* link = feature ? feature->GetLink() : nullptr;
    for (int i = 0; link != nullptr && i < link->GetSize(); ++i) out.push_back(link->GetAt(i));
    return out;
}

// Each object as "Keyword name" ("Keyword value" for values).
inline Strings Shown(const std::vector<ClumVellumEntity*>& objects) {
    Strings out;
    for (const ClumVellumEntity* object : objects) {
        std::wstring text = Attr(object, L"value");
        if (text == L"<none>") text = Attr(object, L"name");
        out.push_back(std::wstring(object->GetMetaClass().GetName().c_str()) + L" " + text);
    }
    return out;
}

// The first object below `root` (itself included) of that class keyword
// and, if given, that name.
inline ClumVellumEntity* Find(ClumVellumEntity* root, const wchar_t* keyword, const wchar_t* name = nullptr) {
    ClumVellumEntity* found = nullptr;
    ForEachObject(root, [&](ClumVellumEntity* object) {
        if (found == nullptr && object->GetMetaClass().GetName() == keyword && (name == nullptr || Attr(object, L"name") == name))
            found = object;
    });
    return found;
}

template <class T>
T* Make(const wchar_t* name = L"", const wchar_t* quid = L"") {
    T* object = new T;
    if constexpr (requires { object->name; }) object->name.Set(ClumIdent(name));
    if constexpr (requires { object->quid; }) object->quid.Set(ClumIdent(quid));
    return object;
}

// Appends `child` to `link` and answers it.
template <class Link, class T>
T* Add(Link& link, T* child) {
    link.Insert(child, -1);
    return child;
}

// A model class that counts its deletions; its meta-class stays that of Base.
template <class Base>
struct Counted : Base {
    explicit Counted(int& deleted_) : deleted(deleted_) {}
    ~Counted() override { ++deleted; }
    int& deleted;
};

// --- Streams, code pages, files ---------------------------------------------

// Hands out `text` a few bytes at a time (1 to maxChunk per refill, so that
// tokens straddle refills at every offset); with shortReads a bulk read
// stops at the end of the visible piece.
class tTrickleBuffer : public std::streambuf {
public:
    tTrickleBuffer(std::string text, std::size_t maxChunk, bool shortReads = false)
        : m_text(std::move(text)), m_max(std::max<std::size_t>(maxChunk, 1)), m_short(shortReads) {
        setg(m_text.data(), m_text.data(), m_text.data());
    }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const std::size_t done = static_cast<std::size_t>(egptr() - m_text.data());
        if (done >= m_text.size()) return traits_type::eof();
        m_step = m_step * 7 + 3;
        const std::size_t chunk = std::min(m_text.size() - done, 1 + m_step % m_max);
        setg(m_text.data() + done, m_text.data() + done, m_text.data() + done + chunk);
        return traits_type::to_int_type(*gptr());
    }
    std::streamsize xsgetn(char* out, std::streamsize count) override {
        if (!m_short) return std::streambuf::xsgetn(out, count);
        if (count <= 0 || traits_type::eq_int_type(underflow(), traits_type::eof())) return 0;
        const std::streamsize n = std::min<std::streamsize>(count, egptr() - gptr());
        std::copy(gptr(), gptr() + n, out);
        gbump(static_cast<int>(n));
        return n;
    }

private:
    std::string m_text;
    std::size_t m_max;
    bool m_short;
    std::size_t m_step = 0;
};

// Sets the code page of narrow text while alive.
class tCodePage {
public:
    explicit tCodePage(unsigned int page) : m_previous(WString::GetLocalePage()) { WString::SetLocalePage(page); }
    ~tCodePage() { WString::SetLocalePage(m_previous); }

private:
    unsigned int m_previous;
};

inline WString Wide(const fs::path& path) { return WString(path.wstring().c_str()); }

// A folder of its own for the running test, removed with the object.
class tScratch {
public:
    tScratch() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("lum-") + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~tScratch() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path Write(const std::string& relative, const std::string& bytes) const {
        const fs::path path = dir / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(dir / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::path dir;
};

}  // namespace lum::test
