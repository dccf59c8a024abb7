// The view of whole models: every object of design meaning in the raw graph
// appears in the view exactly once, and the outline reads as intended.

#include <cstdlib>
#include <fstream>

#include "uml/raw_counts.h"

namespace lum::test {
namespace {

using SampleTest = UmlTest;

TEST_F(SampleTest, EveryObjectOfTheLibrarySampleAppearsOnce) {
    const uml::View& view = Load(SampleDir() / "library.mdl", SampleDir() / "library.map");
    ExpectEveryObjectOnce(Roots(), view);
    EXPECT_EQ(view.Count(uml::Kind::Classifier), 18u);
    EXPECT_EQ(view.Count(uml::Kind::Diagram), 8u);
}

// A model with one of every construct, written in the notation.
const char* const kEveryConstruct = R"((object Design "D" quid "Q0"
  root_category (object Class_Category "Logical View" quid "Q1"
    logical_models (list unit_reference_list
      (object Class "Shape" quid "Q2" stereotype "Interface"
        operations (list Operations (object Operation "area" quid "Q3" result "Real" abstract TRUE
          parameters (list Parameters (object Parameter "scale" quid "Q4" type "out Real" initv "1")))))
      (object Parameterized_Class "List" quid "Q5"
        parameters (list Parameters (object Parameter "T" quid "Q6")))
      (object Instantiated_Class "List<Shape>" quid "Q7"
        instantiation_relationship (list (object Instantiation_Relationship quid "Q8" supplier "List" quidu "Q5")))
      (object Class "Circle" quid "Q9"
        realized_interfaces (list (object Realize_Relationship quid "Q10" supplier "Shape" quidu "Q2"))
        used_nodes (list (object Uses_Relationship quid "Q11" stereotype "call" supplier "List" quidu "Q5"))
        nestedClasses (list (object Class "Center" quid "Q12"))
        class_attributes (list (object ClassAttribute "radius" quid "Q13" type "Real[0..1]" derived TRUE))
        module "Geometry" quidu "Q30")
      (object Mechanism quid "Q14"
        logical_models (list
          (object Object "c" quid "Q15" class "Circle" quidu "Q9"
            collaborators (list (object Link quid "Q16" supplier "s" quidu "Q17"
              messages (list (object Message "area" quid "Q18" ordinal 1 sequence "1" synchronization "Asynchronous"
                Operation "area" quidu "Q3")))))
          (object Object "s" quid "Q17" class "Shape" quidu "Q2")))
      (object InteractionDiagram "Talk" quid "Q19" mechanism_ref "Q14"
        items (list diagram_item_list
          (object InterObjView "c" @1 location (100, 50) quidu "Q15" width 80 height 300)
          (object InterMessView "" @2 location (0, 0) label (object SegLabel @3 location (150, 120) quidu "Q18")
            client @1 supplier @1 origin (100, 120) terminus (200, 120) ordinal 0)))))
  root_usecase_package (object Class_Category "Use Case View" quid "Q20"
    logical_models (list unit_reference_list
      (object UseCase "Pay" quid "Q21"
        visible_modules (list (object Dependency_Relationship quid "Q22" stereotype "include" supplier "Check" quidu "Q23")))
      (object UseCase "Check" quid "Q23"
        visible_modules (list (object Dependency_Relationship quid "Q24" stereotype "extend" supplier "Pay" quidu "Q21"))
        statemachine (object State_Machine "Flow" quid "Q25"
          states (list States
            (object ActivityState "Enter" quid "Q26"
              transitions (list (object State_Transition quid "Q27" supplier "Choose" supplier_quidu "Q28"))
              statemachine (object State_Machine "Inner" quid "Q40"
                states (list States (object State "Deep" quid "Q41" type "HistoryAll"))))
            (object Decision "Choose" quid "Q28")
            (object SynchronizationState "Join" quid "Q29"))
          partitions (list (object Partition "Desk" quid "Q31" class "Circle" quidu "Q9"))
          objects (list (object Object "ticket" quid "Q32"))
          objectflows (list (object Object_Flow quid "Q33" client "ticket" client_quidu "Q32" supplier "Enter" supplier_quidu "Q26"))))))
  root_subsystem (object SubSystem "Component View" quid "Q34"
    physical_models (list unit_reference_list
      (object module "Geometry" "NotAModuleType" "NotAModulePart" quid "Q30")
      (object SubSystem "Core" quid "Q35")))
  process_structure (object Processes "Deployment View" quid "Q36"
    ProcsNDevs (list
      (object Processor "Server" quid "Q37"
        connections (list (object Connection_Relationship quid "Q38" supplier "Printer" quidu "Q39"))
        processes (list (object Process "daemon" quid "Q42" priority "high")))
      (object Device "Printer" quid "Q39"))))
)";

TEST_F(SampleTest, EveryConstructAppearsOnceAndReadsAsWritten) {
    const uml::View& view = Read(kEveryConstruct);
    ExpectEveryObjectOnce(Roots(), view);
    EXPECT_EQ(Outline(),
              "model D\n"
              "  package Use Case View\n"
              "    use case Pay\n"
              "      <<include>> include ..> Check\n"
              "    use case Check\n"
              "      <<extend>> extend ..> Pay\n"
              "      state machine Flow\n"
              "        composite state Enter\n"
              "          state machine Inner\n"
              "            deepHistory Deep\n"
              "          transition Enter --> Choose\n"
              "        decision Choose\n"
              "        synchronization Join\n"
              "        swimlane Desk : Circle\n"
              "        object ticket\n"
              "        object flow ticket --> Enter\n"
              "  package Logical View\n"
              "    <<Interface>> interface Shape\n"
              "      area(out scale : Real = 1) : Real {abstract}\n"
              "    class List<T>\n"
              "    class List<Shape> binds List\n"
              "      instantiation ..> List\n"
              "    class Circle\n"
              "      /radius : Real[0..1]\n"
              "      realization ..|> Shape\n"
              "      class Center\n"
              "      <<call>> dependency ..> List\n"
              "    interaction\n"
              "      lifeline c : Circle\n"
              "      message 1: c -> s : area {asynchronous}\n"
              "      lifeline s : Shape\n"
              "    sequence diagram Talk (2 shown)\n"
              "  package Component View\n"
              "    component Geometry realizes Circle\n"
              "    subsystem Core\n"
              "  package Deployment View\n"
              "    processor Server\n"
              "      process daemon\n"
              "      connection --- Printer\n"
              "    device Printer\n");
}

// The JSON document holds every element once, numbered in walk order; a
// copy for the schema check goes where LUM_OUTLINE_JSON says.
TEST_F(SampleTest, JsonNumbersEveryElementOnce) {
    const uml::View& view = Load(SampleDir() / "library.mdl", SampleDir() / "library.map");
    std::ostringstream out;
    uml::WriteOutlineJson(view, out);
    const std::string json = out.str();
    ASSERT_TRUE(json.starts_with("{\"format\":\"lum-outline/1\",\"models\":[{\"id\":0,"));
    std::size_t elements = 0, ids = 0;
    for (int k = 0; k < uml::kKindCount; ++k) elements += view.Count(static_cast<uml::Kind>(k));
    for (std::size_t at = json.find("{\"id\":"); at != std::string::npos; at = json.find("{\"id\":", at + 1)) {
        EXPECT_EQ(json.compare(at, 6 + std::to_string(ids).size() + 1, "{\"id\":" + std::to_string(ids) + ","), 0);
        ++ids;
    }
    EXPECT_EQ(ids, elements);
    EXPECT_TRUE(IsValidUtf8(json.data(), json.size()));
    if (const char* copy = std::getenv("LUM_OUTLINE_JSON")) std::ofstream(copy) << json;
}

// Every cut of a model still gives a view whose outline can be written.
TEST_F(SampleTest, EveryPrefixOfAModelGivesAView) {
    const std::string text = kEveryConstruct;
    for (std::size_t length = 0; length <= text.size(); length += 7) {
        const uml::View& view = ReadAlone(text.substr(0, length));
        std::ostringstream out;
        uml::WriteOutline(view, out);
        uml::WriteOutlineJson(view, out);
        EXPECT_TRUE(IsValidUtf8(out.str().data(), out.str().size()));
    }
}

}  // namespace
}  // namespace lum::test
