# Papyrus models checked by EMF: PapyrusCheck.java loads each .uml,
# .notation and .di against the Papyrus metamodels and checks the diagrams
# against Papyrus's own examples (../shared/reference/papyrus from the
# project root; the checks are skipped where it is absent). Added with the
# XMI checker (tools/xmi_check/xmi_check.cmake, included first), whose
# classes it builds on.
if(NOT TARGET lum_xmi_check)
  return()
endif()

set(papyrus_check_dir ${CMAKE_BINARY_DIR}/papyrus_check)
string(REPLACE ";" ":" classpath "${lum_emf_jars};${xmi_check_dir};${papyrus_check_dir}")
set(papyrus_check_classpath ${classpath} CACHE INTERNAL "")
set(papyrus_check_reference ${PROJECT_SOURCE_DIR}/../shared/reference/papyrus CACHE INTERNAL "")
lum_add_java_class(lum_papyrus_check ${CMAKE_CURRENT_LIST_DIR}/PapyrusCheck.java ${papyrus_check_dir}
                   CLASSPATH ${lum_emf_jars} ${xmi_check_dir} DEPENDS ${xmi_check_dir}/XmiCheck.class)
add_dependencies(lum_papyrus_check lum_xmi_check)

# lum_add_papyrus_check(NAME [OPTIONAL] MODELS model...): test NAME runs
# `lum papyrus MODEL [--pathmap MAP] -o DIR` on each model ("main.mdl" or
# "main.mdl|main.map"; with a map, lum runs in the map's folder, whose
# relative paths it reads) into a folder of its own, then the checker over
# all those folders, and fails on any problem. OPTIONAL: models that may be
# absent (the shared real models); the test is skipped when one is.
function(lum_add_papyrus_check name)
  cmake_parse_arguments(CHECK "OPTIONAL" "" "MODELS" ${ARGN})
  string(REPLACE ";" "," models "${CHECK_MODELS}")
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DLUM=$<TARGET_FILE:lum_cli> -DJAVA=${LUM_JAVA} -DCLASSPATH=${papyrus_check_classpath}
                   -DREFERENCE=${papyrus_check_reference} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name} "-DMODELS=${models}"
                   -DOPTIONAL=${CHECK_OPTIONAL} -P ${PROJECT_SOURCE_DIR}/tools/papyrus_check/run_check.cmake)
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "Papyrus EMF check skipped")
endfunction()

# Test NAME runs tools/papyrus_check/SCRIPT (examples_check.cmake,
# faults_check.cmake) on Papyrus's examples: that the checker passes them,
# that it catches each kind of fault in copies of one.
function(lum_add_papyrus_examples_check name script)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DJAVA=${LUM_JAVA} -DCLASSPATH=${papyrus_check_classpath}
                   -DREFERENCE=${papyrus_check_reference} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name}
                   -P ${PROJECT_SOURCE_DIR}/tools/papyrus_check/${script})
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "Papyrus EMF check skipped")
endfunction()
