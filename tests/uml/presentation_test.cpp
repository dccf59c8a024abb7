// What symbols show: member, action and transition texts as the drawing
// tool's pictures show them, stored escapes undone, qualified names and the
// file names made of them.

#include <lum/uml/presentation.h>

#include "uml/uml_fixture.h"

namespace lum::test {
namespace {

using PresentationTest = UmlTest;

// Strings keep a backslash in front of a quote or backslash, as files do.
const char* const kModel = R"m((object Design "D" quid "QD" root_category (object Class_Category "Logical View" quid "QL"
 logical_models (list unit_reference_list
  (object Class "Book" quid "QB")
  (object Class "Shelf" quid "QS" stereotype "<<store>>"
   class_attributes (list class_attribute_list
    (object ClassAttribute "count" quid "Q1" type "Integer" initv "0" exportControl "Private")
    (object ClassAttribute "books" quid "Q2" type "Book[0..n]" quidu "QB" derived TRUE)
    (object ClassAttribute "say \"hi\"" quid "Q3" type "a\\b"))
   operations (list Operations
    (object Operation "put" quid "Q4" result "Book" quidu "QB" parameters (list Parameters
     (object Parameter "b" quid "Q5" type "Book" quidu "QB" dir "inout" initv "nil")
     (object Parameter "n" quid "Q6"))))
   statemachine (object State_Machine "SM" quid "Q7" states (list States
    (object State "S" quid "Q8" actions (list action_list
      (object action "a" quid "Q9" ActionTime (object ActionTime when "Entry"))
      (object action "" quid "Q10" ActionTime (object ActionTime when "UponEvent" Event (object Event "coin" quid "Q11")))
      (object sendEvent "go" quid "Q12" ActionTime (object ActionTime when "Exit" condition "c") target "bell"))
     transitions (list transition_list
      (object State_Transition quid "T1" supplier "S" supplier_quidu "Q8" condition "power > 0" Event (object Event
        "press" quid "Q13" parameters "force") action (object action "beep" quid "Q14")
        sendEvent (object sendEvent "ping" quid "Q15" target "bell" parameters "1"))
      (object State_Transition quid "T2" supplier "S" supplier_quidu "Q8" condition "x" action (object action "y" quid "Q16"))
      (object State_Transition quid "T3" label "named" supplier "S" supplier_quidu "Q8" sendEvent (object sendEvent quid "Q17")))))))))))m";

TEST_F(PresentationTest, TextsAsTheSymbolsShowThem) {
    Read(kModel);
    const std::pair<const char*, const char*> attributes[] = {
        {"count", "count : Integer = 0"},
        {"books", "/books : Book[0..n]"},  // the multiplicity where the file writes it
        {"say \\\"hi\\\"", "say \"hi\" : a\\b"},
    };
    for (const auto& [name, shown] : attributes) EXPECT_EQ(uml::AttributeText(*Named<uml::Property>(name)), shown);
    EXPECT_EQ(uml::VisibilityPrefix(Named<uml::Property>("count")->visibility), "- ");

    const uml::Operation& put = *Named<uml::Operation>("put");
    EXPECT_EQ(uml::OperationText(put, uml::Signature::Hidden), "put()");
    EXPECT_EQ(uml::OperationText(put, uml::Signature::Shown), "put(b : Book, n) : Book");
    EXPECT_EQ(uml::OperationText(put, uml::Signature::Complete), "put(inout b : Book = nil, n) : Book");
    std::vector<std::string> linked;
    for (const uml::TextPart& part : uml::OperationParts(put, uml::Signature::Shown))
        if (part.element == Named<uml::Classifier>("Book")) linked.push_back(part.text);
    EXPECT_EQ(linked, (std::vector<std::string>{"Book", "Book"}));

    EXPECT_EQ(uml::StereotypeText(uml::ShownText(Named<uml::Classifier>("Shelf")->Stereotype())), "<<store>>");
    EXPECT_EQ(uml::StereotypeText("Actor"), "<<Actor>>");
    EXPECT_EQ(uml::QualifiedName(put), "Logical View::Shelf::put");
    EXPECT_EQ(uml::QualifiedName(put, "."), "Logical View.Shelf.put");

    // Actions and transitions as the state diagrams show them.
    std::vector<std::string> actions, transitions;
    for (const uml::Action& action : Named<uml::State>("S")->actions) actions.push_back(uml::ActionText(action));
    EXPECT_EQ(actions, (std::vector<std::string>{"entry/ a", "event coin/", "exit [ c ]/ ^bell.go"}));
    for (const uml::Element* element : viewOf->All(uml::Kind::Transition))
        transitions.push_back(uml::TransitionText(*uml::As<uml::Transition>(element)));
    EXPECT_EQ(transitions, (std::vector<std::string>{"press(force) [ power > 0 ] / beep ^bell.ping(1)", "[ x ] / y", "named"}));
}

TEST(PresentationFileStems, SafeAndUnique) {
    auto stems = [](const std::vector<const char*>& texts) {
        std::vector<std::unique_ptr<uml::Diagram>> owned;
        std::vector<const uml::Diagram*> diagrams;
        for (const char* text : texts) {
            owned.push_back(std::make_unique<uml::Diagram>(uml::Kind::Diagram, nullptr, nullptr));
            owned.back()->name = ClumIdent(FromUtf8(text));
            diagrams.push_back(owned.back().get());
        }
        return uml::FileStems(diagrams);
    };
    EXPECT_EQ(stems({"Main", "Main", "../etc/passwd", "", "a/b\\\\c:d*e", "Übersicht"}),
              (std::vector<std::string>{"Main", "Main-2", "_._etc_passwd", "diagram", "a_b_c_d_e", "Übersicht"}));
    EXPECT_EQ(stems({std::string(200, 'x').append("é").c_str()})[0].size(), 120u);
}

}  // namespace
}  // namespace lum::test
