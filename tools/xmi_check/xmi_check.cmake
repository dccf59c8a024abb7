# The XMI exports checked by a real consumer: XmiCheck.java (EMF loading both
# flavours against the UML2 metamodel and validating them; the OMG diagrams
# as XML) over the samples, the shared real models and, with the
# benchmarks, the generator's 10 MB model. Added
# when java, javac and the EMF jars are found (tools/java_emf.cmake); the
# EMF part is skipped where the metamodel (../shared/reference/uml2 from the
# project root) is absent.
include(${PROJECT_SOURCE_DIR}/tools/java_emf.cmake)
if(NOT LUM_EMF_FOUND OR NOT TARGET lum_cli)
  return()
endif()

set(xmi_check_dir ${CMAKE_BINARY_DIR}/xmi_check)
# Kept in the cache: the generator's check is added from another directory.
string(REPLACE ";" ":" classpath "${lum_emf_jars};${xmi_check_dir}")
set(xmi_check_classpath ${classpath} CACHE INTERNAL "")
lum_add_java_class(lum_xmi_check ${CMAKE_CURRENT_LIST_DIR}/XmiCheck.java ${xmi_check_dir} CLASSPATH ${lum_emf_jars})

set(xmi_check_uml2 ${PROJECT_SOURCE_DIR}/../shared/reference/uml2 CACHE INTERNAL "")
# OPTIONAL: models that may be absent (the shared real models); the test is
# skipped when one is.
function(lum_add_xmi_check name)
  cmake_parse_arguments(CHECK "OPTIONAL" "GENMODEL" "MODELS" ${ARGN})
  string(REPLACE ";" "," models "${CHECK_MODELS}")
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DLUM=$<TARGET_FILE:lum_cli> -DJAVA=${LUM_JAVA} -DCLASSPATH=${xmi_check_classpath}
                   -DUML2=${xmi_check_uml2} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name} "-DMODELS=${models}"
                   -DGENMODEL=${CHECK_GENMODEL} -DOPTIONAL=${CHECK_OPTIONAL}
                   -P ${PROJECT_SOURCE_DIR}/tools/xmi_check/run_check.cmake)
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "XMI EMF check skipped")
endfunction()

# That the checker catches each kind of fault, on an export of MODEL (with MAP) with one fault put in.
function(lum_add_xmi_faults_check name MODEL MAP)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DLUM=$<TARGET_FILE:lum_cli> -DJAVA=${LUM_JAVA} -DCLASSPATH=${xmi_check_classpath}
                   -DUML2=${xmi_check_uml2} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name} -DMODEL=${MODEL} -DMAP=${MAP}
                   -P ${PROJECT_SOURCE_DIR}/tools/xmi_check/faults_check.cmake)
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "XMI EMF check skipped")
endfunction()
