// Uses the installed library: builds the metamodel and makes one object.
#include <lum/lum.h>

int main() {
    lum::InitializeLUM();
    lum::ClumVellumEntity* object = lum::ClumClassFactory::MakeClass(L"Class");
    const bool made = object != nullptr && object->GetMetaClass().GetName() == L"Class";
    delete object;
    lum::FinalizeLUM();
    return made ? 0 : 1;
}
