#include "reader/model_builder.h"

#include <cwchar>

#include <algorithm>

#include "lum/diagnostics/reporter.h"
#include "lum/meta/class_factory.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes.h"
#include "lum/model/object_ref.h"
#include "reader/read_ahead.h"

namespace lum {

namespace {

using Kind = tFrameKind;

tFrameKind KindOfKeyword(const WString& keyword) {
    if (keyword == L"object") return Kind::Object;
    if (keyword == L"list") return Kind::List;
    if (keyword == L"value") return Kind::Value;
    return Kind::Element;
}

// "Class::feature", as the link's own messages name it.
WString QualifiedFeatureName(const IlumLink& link) {
    const ClumMetaFeature* feature = link.GetMetaFeature();
    WString name = feature->GetOwner().GetName().c_str();
    name += L"::";
    name += feature->GetName().c_str();
    return name;
}

bool IsA(const ClumVellumEntity* object, const ClumMetaClass& metaClass) {
    return object != nullptr && object->GetMetaClass().IsKindOf(&metaClass);
}

// Decodes `text` into the feature of that keyword, if the object has one.
void DecodeInto(ClumVellumEntity* object, const wchar_t* keyword, const WString& text) {
    if (IlumFeature* feature = object->GetFeature(ClumIdent(keyword))) feature->Decode(text);
}

}  // namespace

void ForgetUnitsInside(std::list<ClumUnitObject*>& units, const ClumVellumEntity* root) {
    units.remove_if([root](const ClumUnitObject* unit) { return unit->IsWithin(root); });
}

tFontKey::tFontKey(const ClumFont& font)
    : flags((font.bold.Get() ? 1u : 0u) | (font.default_color.Get() ? 2u : 0u) | (font.italics.Get() ? 4u : 0u) |
            (font.underline.Get() ? 8u : 0u) | (font.strike.Get() ? 16u : 0u)),
      charSet(font.charSet.Get()),
      size(font.size.Get()),
      color(font.color.Get()),
      face(font.face.Get()) {}

bool tFontKey::operator<(const tFontKey& o) const {
    if (flags != o.flags) return flags < o.flags;
    if (charSet != o.charSet) return charSet < o.charSet;
    if (size != o.size) return size < o.size;
    if (color != o.color) return color < o.color;
    // By text, not by the identifiers' addresses: the fonts go into the file
    // in this order, which must not depend on which thread met a face first.
    return std::wcscmp(face.c_str(), o.face.c_str()) < 0;
}

tModelBuilder::tModelBuilder(ClumVellumFile& file, std::list<ClumUnitObject*>& units)
    : m_file(file), m_units(units) {}

tModelBuilder::~tModelBuilder() {
    // A construct left open at the end of the file never reached its owner;
    // the top-level object at the bottom of the stack is the file's.
    for (std::size_t i = 1; i < m_stack.size(); ++i) {
        const tParseFrame& frame = m_stack[i];
        if (frame.kind == Kind::Object || frame.kind == Kind::Value || frame.kind == Kind::Font) {
            DeleteFree(frame.object);
        }
    }
    for (auto& [key, font] : m_fonts) DeleteFree(font);
    // Left only when reading stopped before Finish.
    for (ClumVellumEntity* object : m_topLevel) {
        DeleteFree(object);
    }
}

void tModelBuilder::OnConstruct(const WString& keyword, const WString& classOrText,
                                const std::vector<WString>& arguments) {
    tParseFrame frame{KindOfKeyword(keyword), ClumIdent(), nullptr};
    if (m_stack.empty()) {
        if (m_pRun != nullptr && (frame.kind != Kind::Object || WString::Match(classOrText, L"Font", false))) {
            m_runBroken = true;
            StopReading();
            return;
        }
        if (frame.kind != Kind::Object) {
            if (frame.kind == Kind::List || frame.kind == Kind::Value) PushSkip();
            ReportAtLine(diag::NotTopLevel, tError::Warning, L"LUM element '%s' with name '%s' is not a top level object",
                         keyword.c_str(), classOrText.c_str());
            return;
        }
        ClumVellumEntity* object = CreateFromHeader(classOrText, arguments);
        m_topLevel.push_back(object);
        if (object == nullptr) {
            PushSkip();
        } else {
            frame.object = object;
            m_stack.push_back(frame);
        }
        return;
    }

    const WString* className = &classOrText;
    static const WString cardinality(L"Cardinality");
    if (frame.kind == Kind::Value && WString::Match(classOrText, cardinality.c_str(), false)) className = &cardinality;
    if (frame.kind == Kind::Object && WString::Match(classOrText, L"Font", false)) frame.kind = Kind::Font;

    tParseFrame& parent = m_stack.back();
    switch (parent.kind) {
        case Kind::List:
            if (frame.kind == Kind::Element) {
                if (IlumFeature* feature = parent.object->GetFeature(parent.ident)) feature->Decode(classOrText);
                else UnknownFeature(parent.object, parent.ident);
                return;
            }
            if (frame.kind == Kind::List) {
                ReportAtLine(diag::SyntaxError, tError::Error, L"Vellum syntax error");
                PushSkip();
                return;
            }
            break;
        case Kind::PendingFeature:
            if (frame.kind == Kind::Element) {
                const ClumIdent name = parent.ident;
                m_stack.pop_back();
                ClumVellumEntity* owner = m_stack.back().object;
                if (IlumFeature* feature = owner->GetFeature(name)) feature->Decode(classOrText);
                else UnknownFeature(owner, name);
                return;
            }
            if (frame.kind == Kind::List && classOrText == L"Points") {
                // The rest of a point list is taken as one raw text.
                const ClumIdent name = parent.ident;
                m_stack.pop_back();
                ClumVellumEntity* owner = m_stack.back().object;
                WString raw;
                GetLexer().ReadBalanced(raw, false);
                if (IlumFeature* feature = owner->GetFeature(name)) feature->Decode(raw);
                else UnknownFeature(owner, name);
                return;
            }
            if (frame.kind == Kind::List) {
                // The list's elements go to the pending feature of the owner
                // beneath; the pending frame stays under the list.
                frame.ident = parent.ident;
                frame.object = m_stack[m_stack.size() - 2].object;
                m_stack.push_back(frame);
                return;
            }
            break;
        default:
            // A construct inside an object without a feature name, or inside
            // a skipped construct: ignored with its contents.
            if (frame.kind != Kind::Element) PushSkip();
            return;
    }

    ClumVellumEntity* object = CreateFromHeader(*className, arguments);
    if (object == nullptr) {
        PushSkip();
        return;
    }
    frame.object = object;
    m_stack.push_back(frame);
}

void tModelBuilder::OnClose() {
    if (m_stack.empty() && m_pRun != nullptr) {
        m_runBroken = true;
        StopReading();
        return;
    }
    if (m_stack.empty()) {
        ReportAtLine(diag::SyntaxError, tError::Error, L"Vellum syntax error near %s", L")");
        return;
    }
    const tParseFrame closed = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty() && m_pRun != nullptr) {
        const std::uint64_t end = GetLexer().GetOffset();
        m_pRun->objects.push_back({m_topLevel.back(), end, GetLexer().GetLine(), m_pRun->errors.size(),
                                   m_file.setAside.Objects().size(), m_units.size()});
        m_topLevel.pop_back();
        if (end >= m_pRun->runEnd) StopReading();
        return;
    }
    Closed(closed);
}

void tModelBuilder::Closed(const tParseFrame& closed) {
    if (closed.kind == Kind::Skip || m_stack.empty()) return;

    const tParseFrame parent = m_stack.back();
    if (parent.kind == Kind::PendingFeature) {
        m_stack.pop_back();
        if (closed.kind == Kind::List) return;
        ClumVellumEntity* owner = m_stack.back().object;
        IlumFeature* feature = owner->GetFeature(parent.ident);
        if (closed.kind == Kind::Font) {
            if (IlumReference* reference = feature ? feature->GetReference() : nullptr) {
                ClumFont* font = InternFont(static_cast<ClumFont*>(closed.object));
                const int count = reference->GetCount();
                reference->SetTarget(font);
                // A font read apart may give way to an equal one of the file.
                if (m_pRun != nullptr && reference->GetCount() > count) {
                    m_pRun->fontUses.emplace_back(reference->GetObjectRef(reference->IsSingle() ? -1 : count), font);
                }
                return;
            }
            UnknownFeature(owner, parent.ident);
            SetAside(owner, parent.ident, nullptr, closed.object);
            return;
        }
        Attach(owner, parent.ident, closed.object, closed.kind == Kind::Object);
        return;
    }
    if (parent.kind == Kind::List) Attach(parent.object, parent.ident, closed.object, closed.kind == Kind::Object);
}

void tModelBuilder::Attach(ClumVellumEntity* owner, const ClumIdent& name, ClumVellumEntity* object, bool isObject) {
    IlumFeature* feature = owner->GetFeature(name);
    IlumLink* link = feature ? feature->GetLink() : nullptr;
    if (link == nullptr) {
        UnknownFeature(owner, name);
        SetAside(owner, name, nullptr, object);
        return;
    }
    if (object == nullptr) {
        // A feature name in a list closed without a value: the link reports it.
        link->Insert(object, -1);
        return;
    }
    if (!object->GetMetaClass().IsKindOf(link->GetMetaFeatureType())) {
        // The link would refuse it: the same message, with the line; kept
        // first, for a host's list may throw on the message.
        SetAside(owner, name, link, object);
        ReportAtLine(tError::Warning, L"Cannot insert object into the feature '%s'",
                     QualifiedFeatureName(*link).c_str());
        return;
    }
    link->Insert(object, -1);
    if (!isObject || !IsA(object, ClumUnitObject::StaticGetMetaClass())) return;
    // A unit stub: a unit stored in a file of its own that is not loaded.
    auto* unit = static_cast<ClumUnitObject*>(object);
    if (unit->is_unit.Get() && !unit->is_loaded.Get() && !unit->file_name.IsEmpty()) m_units.push_back(unit);
}

void tModelBuilder::DeleteFree(ClumVellumEntity* object) {
    ForgetUnitsInside(m_units, object);
    m_file.setAside.ForgetIf([object](const ClumVellumEntity* owner) { return owner->IsWithin(object); });
    delete object;
}

void tModelBuilder::SetAside(ClumVellumEntity* owner, const ClumIdent& name, const IlumLink* link,
                             ClumVellumEntity* object) {
    if (object == nullptr) return;
    // Unit stubs inside are not loaded: their units would have no place.
    ForgetUnitsInside(m_units, object);
    m_file.setAside.Keep(owner, name, link ? link->GetSize() : 0, GetLexer().GetLine(), object);
}

void tModelBuilder::OnFeature(const WString& name, const WString& value, bool hasValue) {
    if (m_stack.empty() && m_pRun != nullptr) {
        m_runBroken = true;
        StopReading();
        return;
    }
    if (m_stack.empty()) {
        ReportAtLine(diag::SyntaxError, tError::Error, L"Vellum syntax error near %s", name.c_str());
        return;
    }
    if (m_stack.back().kind == Kind::Skip) return;
    // A name that got no value is forgotten when the next name comes.
    if (m_stack.back().kind == Kind::PendingFeature) m_stack.pop_back();
    const ClumIdent keyword(name);
    if (!hasValue) {
        m_stack.push_back({Kind::PendingFeature, keyword, nullptr});
        return;
    }
    ClumVellumEntity* owner = m_stack.back().object;
    if (IlumFeature* feature = owner->GetFeature(keyword)) feature->Decode(value);
    else UnknownFeature(owner, keyword);
}

void tModelBuilder::UnknownFeature(const ClumVellumEntity* owner, const ClumIdent& feature) {
    // Unknown feature names are ignored without a diagnostic.
    ReportAtLine(diag::UnknownFeature, tError::InternalError, L"Class '%s' does not have feature '%s'",
                 owner->GetMetaClass().GetName().c_str(), feature.c_str());
}

ClumVellumEntity* tModelBuilder::CreateFromHeader(const WString& className, const std::vector<WString>& arguments) {
    ClumVellumEntity* object = ClumClassFactory::MakeClass(className);
    if (object == nullptr) return object;
    if (m_pMade != nullptr) (*m_pMade)[GetLexer().GetOffset()] = object;
    if (IsA(object, Clumexternal_doc::StaticGetMetaClass())) m_externalDocs = true;
    if (arguments.empty()) return object;
    const std::size_t n = arguments.size();
    if (IsA(object, ClumVellumValue::StaticGetMetaClass())) {
        WString text;
        for (const WString& argument : arguments) text += argument;
        static_cast<ClumVellumValue*>(object)->value.Decode(text);
    } else if (IsA(object, Clummodule::StaticGetMetaClass()) || IsA(object, ClumModView::StaticGetMetaClass())) {
        // Positions missing from a short header are left unset.
        const wchar_t* const positions[] = {L"name", L"type", L"part", L"quid"};
        const std::size_t count = IsA(object, ClumModView::StaticGetMetaClass()) ? 4 : 3;
        for (std::size_t i = 0; i < count && i < n; ++i) DecodeInto(object, positions[i], arguments[i]);
    } else if (IsA(object, ClumStateView::StaticGetMetaClass())) {
        const wchar_t* const positions[] = {L"type", L"name", L"quid"};
        for (std::size_t i = 0; i < 3 && i < n; ++i) DecodeInto(object, positions[i], arguments[i]);
    } else if (IsA(object, ClumVellumObject::StaticGetMetaClass())) {
        if (n == 1) {
            DecodeInto(object, arguments[0].starts_with(L'@') ? L"quid" : L"name", arguments[0]);
        } else {
            DecodeInto(object, L"name", arguments[n - 2]);
            DecodeInto(object, L"quid", arguments[n - 1]);
        }
    }
    return object;
}

ClumFont* tModelBuilder::InternFont(ClumFont* font) {
    const auto [slot, inserted] = m_fonts.try_emplace(tFontKey(*font), font);
    if (!inserted) DeleteFree(font);
    return slot->second;
}

void tModelBuilder::ReadAheadWith(tObjectReadAhead& ahead) {
    m_pAhead = &ahead;
    SetMark(0);
}

void tModelBuilder::ReadObjectRun(tVellumLexer& lexer, tObjectRead& read) {
    m_pRun = &read;
    m_runBroken = false;
    Run(lexer);
    m_pRun = nullptr;
    read.complete = !m_runBroken && !read.objects.empty() && read.objects.back().end >= read.runEnd;
    read.externalDocs = m_externalDocs;
    read.fonts.swap(m_fonts);
}

bool tModelBuilder::OnMark(std::uint64_t offset) {
    std::unique_ptr<tObjectRead> read = m_pAhead->Claim(offset, GetLexer().GetLine());
    SetMark(m_pAhead->Next(offset + 1));
    if (read == nullptr || m_stack.empty()) return false;
    // Where the objects would be read as elements of a list, or one object
    // as a feature's value.
    const Kind kind = m_stack.back().kind;
    if (kind != Kind::List && (kind != Kind::PendingFeature || read->objects.size() != 1)) return false;
    Splice(*read);
    ++m_spliced;
    return true;
}

void tModelBuilder::Splice(tObjectRead& read) {
    // The fonts first, so that every object placed refers to the file's
    // fonts; a font that gives way to an equal one of the file is freed last,
    // with what was set aside inside it, as reading it here would have done.
    struct tFreeFonts {
        tModelBuilder& builder;
        std::vector<ClumFont*> fonts;
        ~tFreeFonts() {
            for (ClumFont* font : fonts) builder.DeleteFree(font);
        }
    } replaced{*this, MergeFonts(read)};
    m_externalDocs = m_externalDocs || read.externalDocs;
    // Then each object with what came before its end, in the order met; a
    // host's list may throw, and until an object is in place the read still
    // owns it.
    tErrorList& errors = CErrorReporter::GetInstance().GetErrorList();
    auto error = read.errors.begin();
    auto unit = read.units.begin();
    std::size_t errorsDone = 0, setAsideDone = 0, unitsDone = 0;
    for (tReadObject& piece : read.objects) {
        for (; errorsDone < piece.errors; ++errorsDone, ++error) errors.AddError(*error);
        ClumVellumEntity* object = std::exchange(piece.object, nullptr);
        read.file.setAside.MoveFirst(piece.setAside - setAsideDone, m_file.setAside);
        setAsideDone = piece.setAside;
        const auto next = std::next(unit, static_cast<std::ptrdiff_t>(piece.units - unitsDone));
        m_units.splice(m_units.end(), read.units, unit, next);
        unit = next;
        unitsDone = piece.units;
        GetLexer().SkipTo(piece.end, piece.endLine);
        Closed({object != nullptr ? Kind::Object : Kind::Skip, ClumIdent(), object});
    }
}

std::vector<ClumFont*> tModelBuilder::MergeFonts(tObjectRead& read) {
    std::vector<std::pair<ClumFont*, ClumFont*>> replaced;  // the read's font, the file's equal one
    for (auto& [key, font] : read.fonts) {
        const auto [slot, inserted] = m_fonts.try_emplace(key, font);
        if (!inserted) replaced.emplace_back(font, slot->second);
    }
    read.fonts.clear();
    const auto byRead = [](const auto& a, const auto& b) { return std::less<ClumFont*>()(a.first, b.first); };
    std::sort(replaced.begin(), replaced.end(), byRead);
    for (const auto& [use, font] : read.fontUses) {
        const std::pair<ClumFont*, ClumFont*> key(font, nullptr);
        const auto found = std::lower_bound(replaced.begin(), replaced.end(), key, byRead);
        if (found != replaced.end() && found->first == font) use->Set(found->second);
    }
    std::vector<ClumFont*> freed;
    for (const auto& [font, kept] : replaced) freed.push_back(font);
    return freed;
}

void tModelBuilder::Finish() {
    // Taken out first: whatever happens below (a host's list may throw on a
    // message), the builder no longer holds what the file now owns, and
    // what was not handed over yet is freed on the way out.
    std::vector<ClumVellumEntity*> topLevel;
    topLevel.swap(m_topLevel);
    try {
        for (ClumVellumEntity*& object : topLevel) {
            if (object == nullptr) continue;
            if (IsA(object, ClumVellum::StaticGetMetaClass())) {
                m_file.version.Insert(object, -1);
            } else if (IsA(object, ClumDesign::StaticGetMetaClass())) {
                m_file.design.Insert(object, -1);
            } else if (IsA(object, ClumUnitObject::StaticGetMetaClass())) {
                m_file.unit.Insert(object, -1);
            } else {
                // The file has no place for it: say so rather than keep it nowhere.
                ReportAtLine(diag::TopLevelDropped, tError::Warning,
                             L"Top level object of class '%s' is not a header, design or unit; it is dropped",
                             object->GetMetaClass().GetName().c_str());
                DeleteFree(object);
            }
            object = nullptr;
        }
    } catch (...) {
        for (ClumVellumEntity* object : topLevel) {
            if (object == nullptr) continue;
            DeleteFree(object);
        }
        throw;
    }
    while (!m_fonts.empty()) {
        ClumFont* font = m_fonts.begin()->second;
        m_fonts.erase(m_fonts.begin());
        m_file.fonts.Insert(font, -1);
    }
}

}  // namespace lum
