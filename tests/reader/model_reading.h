#pragma once
// Shared ground for the tests that read model text into objects: a fixture
// that holds the metamodel, a private error list and a unit list for one
// test, and helpers that walk an object graph through the metamodel.

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

// Every object reachable from `root` through its link features, root first,
// then depth first in feature order.
inline void ForEachObject(ClumVellumEntity* root, const std::function<void(ClumVellumEntity*)>& visit) {
    visit(root);
    for (const ClumMetaFeature* feature : root->GetMetaClass().m_linkFeatures) {
        const int size = feature->m_pfnLinkSize(root);
        for (int i = 0; i < size; ++i) ForEachObject(feature->m_pfnLinkGetAt(root, i), visit);
    }
}

// How many objects of each class keyword hang below `root` (root excluded).
inline std::map<std::wstring, int> CountByClass(ClumVellumEntity* root) {
    std::map<std::wstring, int> counts;
    ForEachObject(root, [&](ClumVellumEntity* object) {
        if (object != root) ++counts[object->GetMetaClass().GetName().c_str()];
    });
    return counts;
}

// `object` as T when its class is T or derives from it, else null.
template <class T>
T* As(ClumVellumEntity* object) {
    if (object == nullptr || !object->GetMetaClass().IsKindOf(&T::StaticGetMetaClass())) return nullptr;
    return static_cast<T*>(object);
}

inline std::wstring Text(const ClumIdent& ident) { return ident.c_str(); }
inline std::wstring Text(const WString& text) { return text; }

// The value of an attribute feature as written in a file; "<none>" when the
// object has no attribute of that keyword.
inline std::wstring Attr(const ClumVellumEntity* object, const wchar_t* keyword) {
    const IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    const IlumAttribute* attribute = feature ? feature->GetAttribute() : nullptr;
    if (attribute == nullptr) return L"<none>";
    WString out;
    attribute->Encode(out);
    return out;
}

// The written text of a single-valued reference, or of every value of a
// list joined by " | ".
inline std::wstring Ref(const ClumVellumEntity* object, const wchar_t* keyword) {
    const IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    const IlumReference* reference = feature ? feature->GetReference() : nullptr;
    if (reference == nullptr) return L"<none>";
    if (reference->IsSingle()) {
        WString out;
        reference->EncodeReference(out, -1);
        return out;
    }
    std::wstring joined;
    for (int i = 0; i < reference->GetCount(); ++i) {
        WString out;
        reference->EncodeReference(out, i);
        if (i != 0) joined += L" | ";
        joined += out;
    }
    return joined;
}

// The objects of a link feature, in order; empty when there is no such link.
inline std::vector<ClumVellumEntity*> Children(ClumVellumEntity* object, const wchar_t* keyword) {
    std::vector<ClumVellumEntity*> out;
    IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
    IlumLink* link = feature ? feature->GetLink() : nullptr;
    if (link == nullptr) return out;
    for (int i = 0; i < link->GetSize(); ++i) out.push_back(link->GetAt(i));
    return out;
}

// The "name" attribute of each object, for comparing lists at a glance.
inline std::vector<std::wstring> Names(const std::vector<ClumVellumEntity*>& objects) {
    std::vector<std::wstring> names;
    for (const ClumVellumEntity* object : objects) names.push_back(Attr(object, L"name"));
    return names;
}

// Each object as its class keyword and its "value" (for values and
// primitives) or its "name": "VellumInt 42", "Class Book".
inline std::vector<std::wstring> Shown(const std::vector<ClumVellumEntity*>& objects) {
    std::vector<std::wstring> out;
    for (const ClumVellumEntity* object : objects) {
        std::wstring text = Attr(object, L"value");
        if (text == L"<none>") text = Attr(object, L"name");
        out.push_back(std::wstring(object->GetMetaClass().GetName().c_str()) + L" " + text);
    }
    return out;
}

// The message texts alone.
inline std::vector<std::wstring> MessageTexts(const tErrorList& errors) {
    std::vector<std::wstring> out;
    for (const tError& error : errors) out.push_back(error.message);
    return out;
}

// A host's error list that gives up by throwing when a message contains
// `trigger`.
class tStoppingErrorList : public tErrorList {
public:
    explicit tStoppingErrorList(const wchar_t* trigger) : m_trigger(trigger) {}
    bool OnErrorAdded(const tError& error) override {
        if (error.message.find(m_trigger) != std::wstring::npos) throw std::runtime_error("stopped");
        return true;
    }

private:
    const wchar_t* m_trigger;
};

class ModelReadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override {
        units.clear();
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    // Reads `text` as the contents of a file named "test.mdl". The file object
    // must be gone before TearDown, with the metamodel.
    std::unique_ptr<ClumVellumFile> Read(const std::string& text) {
        auto file = std::make_unique<ClumVellumFile>();
        std::istringstream in(text, std::ios::in | std::ios::binary);
        ClumParser::Parse(in, L"test.mdl", *file, units);
        return file;
    }

    // Each diagnostic as "Severity line: text"; the line is left out when
    // the subject has none.
    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> out;
        for (const tError& error : errors) {
            std::wstring line = tError::ToString(error.severity);
            if (error.subject.line != 0) line += L" " + std::to_wstring(error.subject.line);
            out.push_back(line + L": " + std::wstring(error.message));
        }
        return out;
    }

    tErrorList errors;
    std::list<ClumUnitObject*> units;
};

using Strings = std::vector<std::wstring>;

}  // namespace lum::test
