// Fuzz target: arbitrary bytes read as a model file, the result printed and
// deleted.

#include <list>
#include <sstream>
#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    std::istringstream in(std::string(session.Text()), std::ios::in | std::ios::binary);
    auto* file = new lum::ClumVellumFile();
    std::list<lum::ClumUnitObject*> units;
    lum::ClumParser::Parse(in, L"fuzz.mdl", *file, units);
    lum::ClumPrettyPrinter::Print(file, lum::fuzz::NullStream());
    lum::TreeRemover().DeleteTree(file);
    return 0;
}
