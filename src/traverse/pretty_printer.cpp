#include "lum/traverse/pretty_printer.h"

#include <iostream>

#include "lum/model/feature.h"
#include "lum/traverse/meta_visitor.h"

namespace lum {

namespace {

class ClumPrettyPrinterImpl : public TlumMetaVisitor<const ClumVellumEntity> {
public:
    explicit ClumPrettyPrinterImpl(std::wostream& out) : m_out(out) {}

    void Visit(const ClumVellumEntity* entity) override {
        if (entity == nullptr) return;
        Write(L"object ");
        Write(entity->GetMetaClass().GetName().c_str());
        NewLine();
        ++m_nIndent;
        TlumMetaVisitor::Visit(entity);
        --m_nIndent;
    }

    void VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) override {
        if (feature->m_pfnGetFeature == nullptr) return;
        const IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
        if (member == nullptr) return;
        switch (feature->GetKind()) {
            case ClumMetaFeature::eAttribute:
                if (const IlumAttribute* attribute = member->GetAttribute(); attribute && !attribute->IsEmpty()) {
                    WString text;
                    attribute->Encode(text);
                    Write(feature->GetName().c_str());
                    Write(L" = ");
                    Write(text.c_str());
                    Write(L";");
                    NewLine();
                }
                break;
            case ClumMetaFeature::eReference:
                if (const IlumReference* reference = member->GetReference(); reference && !reference->IsEmpty()) {
                    Write(feature->GetName().c_str());
                    Write(L" = ref ");
                    if (reference->IsSingle()) {
                        WriteValue(*reference, -1);
                    } else {
                        ++m_nIndent;
                        for (int i = 0; i < reference->GetCount(); ++i) WriteValue(*reference, i);
                        --m_nIndent;
                    }
                }
                break;
            case ClumMetaFeature::eLink:
                if (const IlumLink* link = member->GetLink(); link && !link->IsEmpty()) {
                    Write(L"( link ");
                    Write(feature->GetName().c_str());
                    NewLine();
                    ++m_nIndent;
                    TlumMetaVisitor::VisitMetaFeature(feature, entity);
                    --m_nIndent;
                    Write(L")");
                    NewLine();
                }
                break;
        }
    }

private:
    void WriteValue(const IlumReference& reference, long index) {
        WString text;
        reference.EncodeReference(text, index);
        Write(text.c_str());
        Write(L";");
        NewLine();
    }

    void Write(const wchar_t* text) {
        if (m_bLineStart) {
            m_bLineStart = false;
            for (int i = 0; i < m_nIndent; ++i) m_out << L"    ";
        }
        m_out << text;
    }

    void NewLine() {
        m_bLineStart = true;
        m_out << std::endl;
    }

    std::wostream& m_out;
    int m_nIndent = 0;
    bool m_bLineStart = true;
};

}  // namespace

void ClumPrettyPrinter::Print(const ClumVellumEntity* entity) { Print(entity, std::wcout); }

void ClumPrettyPrinter::Print(const ClumVellumEntity* entity, std::wostream& out) {
    ClumPrettyPrinterImpl printer(out);
    printer.Visit(entity);
}

}  // namespace lum
