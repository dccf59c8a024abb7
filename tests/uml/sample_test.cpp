// The view of the library sample: everything of design meaning appears once.

#include "uml/uml_fixture.h"

namespace lum::test {
namespace {

using SampleTest = UmlTest;

TEST_F(SampleTest, Outline) {
    Load(SampleDir() / "library.mdl", SampleDir() / "library.map");
    std::cout << Outline();
}

}  // namespace
}  // namespace lum::test
