# The checker catches each kind of fault: copies of one Papyrus example
# (REFERENCE/examples/deployment/delete_contained_diagram: five diagrams in
# one .notation, one with classes and edges) each with one fault put in its
# .notation by a regular expression fail, with the kind named on the
# .notation's lines; the clean copy passes. Each row: kind, pattern,
# replacement (the first match only).
cmake_policy(SET CMP0007 NEW)  # a row's empty replacement kept
set(faults
    # an element href to nothing
    "dangling|(<element xmi:type=\"uml:Class\" href=\"[^#\"]*#)[^\"]*|\\1_nowhere"
    # a Generalization edge ending at the view of the first diagram (ClassDiagram1)
    "edge|(type=\"Generalization_Edge\" source=\"[^\"]*\" target=\")[^\"]*|\\1_1tn0QOaPEeiCTbLkJ0LILg"
    # a class at the top of its diagram without bounds
    "bounds|<layoutConstraint xmi:type=\"notation:Bounds\" xmi:id=\"[^\"]*\" x=[^>]*>|"
    # a class without its operation compartment (a second nested classifier one instead)
    "grammar|type=\"Class_OperationCompartment\"|type=\"Class_NestedClassifierCompartment\""
    # a class shape for the Generalization of Class3
    "metaclass|(<element xmi:type=\"uml:Class\" href=\"[^#\"]*#)[^\"]*|\\1_WdF7IOaQEeiCTbLkJ0LILg"
    # a class's name label of a type Papyrus does not have
    "type|type=\"Class_NameLabel\"|type=\"Class_Label\""
    # not well-formed XML
    "load|</notation:Diagram>|</notation:Diagrm>")

set(example ${REFERENCE}/examples/deployment/delete_contained_diagram)
if(NOT EXISTS ${REFERENCE}/metamodels OR NOT EXISTS ${example}.notation)
  message("Papyrus EMF check skipped: no ${REFERENCE}")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(READ ${example}.notation clean)
set(folders ${WORK}/clean)
foreach(fault IN LISTS faults)
  string(REGEX MATCH "^[^|]*" kind "${fault}")
  list(APPEND folders ${WORK}/${kind})
endforeach()
foreach(folder IN LISTS folders)
  file(COPY ${example}.uml ${example}.di DESTINATION ${folder})
endforeach()
file(WRITE ${WORK}/clean/delete_contained_diagram.notation "${clean}")
foreach(fault IN LISTS faults)
  string(REPLACE "|" ";" fields "${fault}")
  list(GET fields 0 kind)
  list(GET fields 1 pattern)
  list(LENGTH fields count)
  set(replacement)
  if(count GREATER 2)
    list(GET fields 2 replacement)
  endif()
  string(REGEX MATCH "${pattern}" found "${clean}")
  if(found STREQUAL "")
    message(FATAL_ERROR "${kind}: ${example}.notation has nothing that matches ${pattern}")
  endif()
  string(REGEX REPLACE "${pattern}" "${replacement}" edited "${found}")
  string(FIND "${clean}" "${found}" at)
  string(SUBSTRING "${clean}" 0 ${at} before)
  string(LENGTH "${before}${found}" end)
  string(SUBSTRING "${clean}" ${end} -1 after)
  file(WRITE ${WORK}/${kind}/delete_contained_diagram.notation "${before}${edited}${after}")
endforeach()

execute_process(COMMAND ${JAVA} -XX:TieredStopAtLevel=1 -cp ${CLASSPATH} PapyrusCheck ${REFERENCE}/metamodels
                        ${REFERENCE}/examples --view-types ${REFERENCE}/VISUAL_IDS_FROM_SOURCE.tsv ${folders}
                OUTPUT_VARIABLE report)
message("${report}")
if(report MATCHES "${WORK}/clean/[^:]*: \\[")
  message(FATAL_ERROR "the clean copy has problems")
endif()
foreach(fault IN LISTS faults)
  string(REGEX MATCH "^[^|]*" kind "${fault}")
  string(FIND "${report}" "${WORK}/${kind}/delete_contained_diagram.notation: [${kind}]" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the checker does not report the fault of kind ${kind}")
  endif()
endforeach()
