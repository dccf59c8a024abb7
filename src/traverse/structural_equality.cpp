#include "lum/traverse/structural_equality.h"

#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes.h"
#include "lum/model/set_aside.h"

namespace lum {

namespace {

// One pair to compare, with the step that led to it from its parent pair.
struct tPair {
    const ClumVellumEntity* left;
    const ClumVellumEntity* right;
    int parent;  // index in the visited list, -1 for the roots
    WString step;
};

WString Describe(const ClumVellumEntity& object) {
    WString text = object.GetMetaClass().GetName().c_str();
    const IlumFeature* name = object.GetFeature(ClumIdent(L"name"));
    if (const IlumAttribute* attribute = name ? const_cast<IlumFeature*>(name)->GetAttribute() : nullptr) {
        WString value;
        attribute->Encode(value);
        if (!value.empty()) text += L" \"" + value + L"\"";
    }
    return text;
}

class tComparer {
public:
    StructuralDifference Run(const ClumVellumEntity& left, const ClumVellumEntity& right) {
        m_pairs.push_back({&left, &right, -1, WString()});
        for (std::size_t next = 0; next < m_pairs.size() && m_result.equal; ++next) Compare(static_cast<int>(next));
        return m_result;
    }

private:
    void Differ(int pair, const WString& step, const WString& what) {
        if (!m_result.equal) return;
        m_result.equal = false;
        std::vector<WString> parts;
        if (!step.empty()) parts.push_back(step);
        for (int i = pair; i >= 0; i = m_pairs[static_cast<std::size_t>(i)].parent) {
            const tPair& p = m_pairs[static_cast<std::size_t>(i)];
            parts.push_back(Describe(*p.left));
            if (!p.step.empty()) parts.push_back(p.step);
        }
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            if (!m_result.path.empty()) m_result.path += L" / ";
            m_result.path += *it;
        }
        m_result.what = what;
    }

    void Compare(int index) {
        const tPair pair = m_pairs[static_cast<std::size_t>(index)];
        const ClumVellumEntity& left = *pair.left;
        const ClumVellumEntity& right = *pair.right;
        if (&left.GetMetaClass() != &right.GetMetaClass()) {
            Differ(index, WString(), WString(L"class ") + right.GetMetaClass().GetName().c_str() + L" instead of " +
                                         left.GetMetaClass().GetName().c_str());
            return;
        }
        auto& l = const_cast<ClumVellumEntity&>(left);
        auto& r = const_cast<ClumVellumEntity&>(right);
        for (const ClumMetaFeature* meta : left.GetMetaClass().m_allFeatures) {
            if (IsWhereRead(left, *meta)) continue;
            const WString name = meta->GetName().c_str();
            IlumFeature* a = meta->m_pfnGetFeature(&l);
            IlumFeature* b = meta->m_pfnGetFeature(&r);
            if (a->IsEmpty() != b->IsEmpty()) {
                Differ(index, name, a->IsEmpty() ? L"set only on the right" : L"set only on the left");
                return;
            }
            switch (meta->GetKind()) {
                case ClumMetaFeature::eAttribute: {
                    WString x, y;
                    a->GetAttribute()->Encode(x);
                    b->GetAttribute()->Encode(y);
                    if (x != y) return Differ(index, name, L"'" + x + L"' against '" + y + L"'");
                    break;
                }
                case ClumMetaFeature::eReference:
                    if (!SameReferences(*a->GetReference(), *b->GetReference(), index, name)) return;
                    break;
                case ClumMetaFeature::eLink: {
                    const IlumLink& x = *a->GetLink();
                    const IlumLink& y = *b->GetLink();
                    if (x.GetSize() != y.GetSize()) {
                        return Differ(index, name, WString().Format(L"%d objects against %d", x.GetSize(), y.GetSize()));
                    }
                    for (int i = 0; i < x.GetSize(); ++i) {
                        m_pairs.push_back({x.GetAt(i), y.GetAt(i), index, WString().Format(L"%s[%d]", name.c_str(), i)});
                    }
                    break;
                }
            }
        }
        if (IsFile(left)) CompareSetAside(static_cast<const ClumVellumFile&>(left).setAside,
                                          static_cast<const ClumVellumFile&>(right).setAside, index);
    }

    // Where a file, or a loaded unit, was read from is not part of the model.
    static bool IsWhereRead(const ClumVellumEntity& object, const ClumMetaFeature& feature) {
        if (&feature.GetOwner() == &ClumVellumFile::StaticGetMetaClass()) return feature.GetName() == ClumIdent(L"fileName");
        if (&feature.GetOwner() != &ClumUnitObject::StaticGetMetaClass() || feature.GetName() != ClumIdent(L"file_name")) {
            return false;
        }
        return static_cast<const ClumUnitObject&>(object).is_loaded.Get();
    }

    static bool IsFile(const ClumVellumEntity& object) {
        return object.GetMetaClass().IsKindOf(&ClumVellumFile::StaticGetMetaClass());
    }

    bool SameReferences(const IlumReference& a, const IlumReference& b, int index, const WString& name) {
        if (a.IsEmpty()) return true;
        if (a.GetCount() != b.GetCount()) {
            Differ(index, name, WString().Format(L"%d references against %d", a.GetCount(), b.GetCount()));
            return false;
        }
        for (int n = 0; n < a.GetCount(); ++n) {
            // A single value sits at index -1.
            const long i = a.IsSingle() ? -1 : n;
            const ClumVellumEntity* x = a.GetTarget(i);
            const ClumVellumEntity* y = b.GetTarget(i);
            const ClumObjectRef* rx = a.GetObjectRef(i);
            const bool fromObject = rx != nullptr && rx->GetKind() == ClumObjectRef::eFromObject;
            if (fromObject && x != nullptr && y != nullptr) {
                // A value made from an object (a font): the objects must match.
                m_pairs.push_back({x, y, index, name});
                continue;
            }
            WString tx, ty;
            a.EncodeReference(tx, i);
            b.EncodeReference(ty, i);
            if (tx != ty) {
                Differ(index, name, L"'" + tx + L"' against '" + ty + L"'");
                return false;
            }
            if ((x == nullptr) != (y == nullptr)) {
                Differ(index, name, x == nullptr ? L"bound only on the right" : L"bound only on the left");
                return false;
            }
            if (x != nullptr && (&x->GetMetaClass() != &y->GetMetaClass() || Describe(*x) != Describe(*y))) {
                Differ(index, name, L"bound to " + Describe(*x) + L" against " + Describe(*y));
                return false;
            }
        }
        return true;
    }

    void CompareSetAside(const SetAside& a, const SetAside& b, int index) {
        const auto& x = a.Objects();
        const auto& y = b.Objects();
        if (x.size() != y.size()) {
            Differ(index, L"set aside",
                   WString().Format(L"%d objects against %d", static_cast<int>(x.size()), static_cast<int>(y.size())));
            return;
        }
        for (std::size_t i = 0; i < x.size(); ++i) {
            const WString step = WString().Format(L"set aside[%d] %s", static_cast<int>(i), x[i].feature.c_str());
            if (x[i].feature != y[i].feature || Describe(*x[i].owner) != Describe(*y[i].owner)) {
                Differ(index, step, L"kept for another owner or feature");
                return;
            }
            m_pairs.push_back({x[i].object.get(), y[i].object.get(), index, step});
        }
    }

    std::vector<tPair> m_pairs;
    StructuralDifference m_result;
};

}  // namespace

StructuralDifference CompareStructure(const ClumVellumEntity& left, const ClumVellumEntity& right) {
    return tComparer().Run(left, right);
}

}  // namespace lum
