// Faults in the middle of a file: class A comes before the fault and
// classes B1 to B3 after it. Faults that leave the nesting intact lose
// nothing that follows. Faults that change it (a parenthesis too many or
// too few, a string or raw construct left open, a word without its pair)
// lose what the notation can no longer place.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/model_text.h"
#include "reader/model_reading.h"

namespace robustness {
namespace {

using lumcli::test::ClassText;
using lumcli::test::MainFile;
using lumcli::test::SuperclassText;
using lum::test::Strings;
using namespace std::string_literals;

struct tFault {
    const char* kind;
    std::string text;  // stands between class A and class B1 in the logical view's list
};

std::string Later() {
    std::string text;
    for (const char* n : {"1", "2", "3"}) {
        text += ClassText(std::string("B") + n, std::string("5D000000020") + n,
                          std::string("\t\tdocumentation \t\"doc ") + n + "\"\n");
    }
    return text;
}

class NoDataLostTest : public lum::test::ModelReadingTest {
protected:
    // "name: documentation" of every class read, in file order.
    Strings ClassesOf(const std::string& fault) {
        const auto file = Read(MainFile(ClassText("A", "5D0000000101") + fault + Later()));
        Strings classes;
        lum::test::ForEachObject(file.get(), [&](lum::ClumVellumEntity* object) {
            if (auto* c = lum::test::As<lum::ClumClass>(object)) {
                classes.push_back(lum::test::Attr(c, L"name") + L": " + lum::test::Attr(c, L"documentation"));
            }
        });
        return classes;
    }
};

const Strings kAll = {L"A: ", L"B1: doc 1", L"B2: doc 2", L"B3: doc 3"};

TEST_F(NoDataLostTest, FaultsInsideTheNestingLoseNothingThatFollows) {
    const std::vector<tFault> faults = {
        {"unknown class", "\t    (object Nope \"N\"\n\t\tlogical_models \t(list unit_reference_list\n" +
                              ClassText("Hidden", "5D0000000301") + "\t\t))\n"},
        {"abstract class", "\t    (object QuidObject \"Q\"\n\t\tquid \t\"5D0000000302\")\n"},
        {"unknown construct kind", "\t    (objekt Class \"K\" (nested) (deeper (still)))\n"},
        {"values of the wrong type",
         "\t    (object Class \"K\"\n\t\tabstract \tmaybe\n\t\tpersistence \tForever\n\t\tcardinality \t(value cardinality "
         "\"x..y\")\n\t\tlocation \t\"not a point\")\n"},
        {"bad references", "\t    (object Class \"K\"\n" + SuperclassText("5D0000000303", "::Nowhere::", "NOT A QUID") +
                               "\t\tquidu \t@\n\t\t)\n"},
        {"unknown features", "\t    (object Class \"K\"\n\t\tbogus \t\"x\"\n\t\tbogus_link \t(list bogus_list\n" +
                                 ClassText("Inner", "5D0000000304") + "\t\t)\n\t\tbogus_value \t(value Text \"t\"))\n"},
        {"object without a feature name", "\t    (object Class \"K\"\n" + ClassText("Orphan", "5D0000000305") + "\t\t)\n"},
        {"list inside a list", "\t    (list inner_list\n" + ClassText("Inner", "5D0000000306") + "\t    )\n"},
        {"garbage words in pairs", "#$%^&* !~ \x01\x02\x7f ;;; === @@\n"},
        {"NUL bytes", "\0\0 \0\n\t    (object Class \"K\"\n\t\t\0\0)\n"s},
        {"bytes beyond the code page", "\t    (object Class \"\x81\x8D\xFF\"\n\t\tdocumentation \t|\x8F\x90\x9D\n\t\t)\n"},
    };
    for (const tFault& fault : faults) {
        const Strings classes = ClassesOf(fault.text);
        for (const std::wstring& kept : kAll) {
            EXPECT_TRUE(std::find(classes.begin(), classes.end(), kept) != classes.end())
                << fault.kind << ": " << lum::ToUtf8(kept) << " lost";
        }
        errors.clear();
    }
}

// Objects reach their owners when their constructs close, and what is still
// open at the end of the file is dropped, so these faults lose what the
// notation can no longer place: listed here exactly, class by class.
TEST_F(NoDataLostTest, FaultsThatChangeTheNestingLoseWhatTheyLeaveOpen) {
    const std::string k = "\t    (object Class \"K\"\n\t\tquid \t\"5D0000000301\"\n";
    const Strings aAndK = {L"A: ", L"K: "};
    const std::vector<std::pair<tFault, Strings>> faults = {
        // Closes the list: B1 to B3 stand in the package without a feature name.
        {{"parenthesis too many", "\t)\n"}, {L"A: "}},
        // B1 to B3 stand in K without a feature name.
        {{"object not closed", k}, aAndK},
        // One level deeper: the package itself is still open at the end.
        {{"nested object not closed", k + "\t\tsuperclasses \t(list inheritance_relationship_list\n\t\t    (object "
                                          "Inheritance_Relationship\n\t\t\tsupplier \t\"A\"\n\t\t)\n"},
         {}},
        // The name waits for its value and takes the parenthesis meant for K.
        {{"feature name before the closing parenthesis", k + "\t\tdocumentation\n\t\t)\n"}, aAndK},
        // The raw construct runs to the end of the file.
        {{"raw construct not closed", k + "\t\tlocation \t(100, 200\n\t\t)\n"}, aAndK},
        // A string runs to the next quote; from there on strings and the text
        // between them change places.
        {{"string not closed", k + "\t\tdocumentation \t\"never closed\n\t\t)\n"}, {}},
        // A word standing alone takes the next construct as its value.
        {{"word standing alone", "\t    stray\n"}, {L"A: ", L"B2: doc 2", L"B3: doc 3"}},
    };
    for (const auto& [fault, kept] : faults) {
        EXPECT_EQ(ClassesOf(fault.text), kept) << fault.kind;
        errors.clear();
    }
}

}  // namespace
}  // namespace robustness
