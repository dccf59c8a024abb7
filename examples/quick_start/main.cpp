// Loads a model with its sub-units, binds its references, walks it and
// prints one class: lum_quick_start MODEL [PATHMAP]
#include <iostream>

#include <lum/lum.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: lum_quick_start MODEL [PATHMAP]\n";
        return 2;
    }
    lum::InitializeLUM();  // builds the metamodel; text is read as code page 1252
    {
        lum::ClumVirtualPathResolver paths;
        if (argc > 2) paths.LoadFromFile(lum::WString(argv[2]));
        paths.AddPath(L"CURDIR", L"&");  // '&': the directory of the file being read

        lum::tErrorList errors;
        std::vector<lum::ClumVellumFile*> files;
        std::list<lum::ClumUnitObject*> missing;
        lum::ClumManager::LoadModels(errors, {lum::WString(argv[1])}, files, missing, paths, true);

        lum::ClumNameResolver names;
        std::vector<const lum::IlumReference*> unbound;
        lum::CErrorReporter::GetInstance().SetErrorList(errors);
        for (lum::ClumVellumFile* file : files) names.CollectAndBind(file, unbound);
        lum::CErrorReporter::GetInstance().ResetReporter();

        // Walk every object through the metamodel and count the classes.
        struct tClassCounter : lum::TlumMetaVisitor<const lum::ClumVellumEntity> {
            const lum::ClumClass* first = nullptr;
            int classes = 0;
            void Visit(const lum::ClumVellumEntity* entity) override {
                if (entity->GetMetaClass().IsKindOf(&lum::ClumClass::StaticGetMetaClass())) {
                    if (classes++ == 0) first = static_cast<const lum::ClumClass*>(entity);
                }
                TlumMetaVisitor::Visit(entity);
            }
        } counter;
        for (const lum::ClumVellumFile* file : files) counter.Visit(file);

        std::wcout << L"diagnostics: " << errors.size() << L", units missing: " << missing.size()
                   << L", references unbound: " << unbound.size() << L", classes: " << counter.classes << L"\n";
        if (counter.first != nullptr) lum::ClumPrettyPrinter::Print(counter.first);

        for (lum::ClumVellumFile* file : files) delete file;
    }
    lum::FinalizeLUM();
    return 0;
}
