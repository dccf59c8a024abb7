# Exports each model (MODELS: "main.mdl" or "main.mdl|main.map", comma-
# separated, all present unless OPTIONAL) with `lum papyrus` into a folder
# of its own and runs PapyrusCheck over all of them, against REFERENCE's
# metamodels and examples.
if(NOT EXISTS ${REFERENCE}/metamodels OR NOT EXISTS ${REFERENCE}/examples)
  message("Papyrus EMF check skipped: no ${REFERENCE}")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(REPLACE "," ";" models "${MODELS}")
set(outputs)
set(n 0)
include(${CMAKE_CURRENT_LIST_DIR}/../model_argument.cmake)
foreach(model IN LISTS models)
  lum_model_argument("${model}" ${WORK})
  if(OPTIONAL AND NOT EXISTS ${MODEL_MAIN})
    message("Papyrus EMF check skipped: ${MODEL_MAIN} is absent")
    return()
  endif()
  set(out ${WORK}/model${n})
  execute_process(COMMAND ${LUM} papyrus ${MODEL_MAIN} ${MODEL_OPTIONS} -o ${out}
                  WORKING_DIRECTORY ${MODEL_DIRECTORY} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status GREATER 1)
    message(FATAL_ERROR "lum papyrus failed on ${MODEL_MAIN} (${status})")
  endif()
  list(APPEND outputs ${out})
  math(EXPR n "${n} + 1")
endforeach()

# Java with its quick compiler only: a check is a short run, which the optimising compiler slows down.
execute_process(COMMAND ${JAVA} -XX:TieredStopAtLevel=1 -cp ${CLASSPATH} PapyrusCheck ${REFERENCE}/metamodels
                        ${REFERENCE}/examples --view-types ${REFERENCE}/VISUAL_IDS_FROM_SOURCE.tsv ${outputs}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Papyrus exports do not pass the checker")
endif()
