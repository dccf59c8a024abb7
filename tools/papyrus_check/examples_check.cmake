# The checker is not too strict: it finds no problem in Papyrus's own
# examples (REFERENCE/examples), all but the legacy one (an older format,
# which its grammar leaves out too) and SmartMoldBusinessLayer. That one
# applies a profile and names a viewpoint configuration that are not there
# (BMM), so EMF reports its references to them: checked on its own, it may
# have such load and reference problems, and none of the diagram checks'.
if(NOT EXISTS ${REFERENCE}/metamodels OR NOT EXISTS ${REFERENCE}/examples)
  message("Papyrus EMF check skipped: no ${REFERENCE}")
  return()
endif()
file(GLOB_RECURSE files ${REFERENCE}/examples/*.uml ${REFERENCE}/examples/*.notation ${REFERENCE}/examples/*.di)
set(modern)
set(smartmold)
foreach(file IN LISTS files)
  if(file MATCHES "/SmartMoldBusinessLayer\\.")
    list(APPEND smartmold ${file})
  elseif(NOT file MATCHES "/legacy_sash_di/")
    list(APPEND modern ${file})
  endif()
endforeach()
set(check ${JAVA} -XX:TieredStopAtLevel=1 -cp ${CLASSPATH} PapyrusCheck ${REFERENCE}/metamodels ${REFERENCE}/examples
          --view-types ${REFERENCE}/VISUAL_IDS_FROM_SOURCE.tsv)
execute_process(COMMAND ${check} ${modern} RESULT_VARIABLE status OUTPUT_VARIABLE report)
message("${report}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the checker finds problems in Papyrus's examples")
endif()
execute_process(COMMAND ${check} ${smartmold} OUTPUT_VARIABLE report)
message("${report}")
if(report MATCHES "\\[(metaclass|edge|bounds|grammar)\\]")
  message(FATAL_ERROR "the checker finds problems in the diagram of SmartMoldBusinessLayer")
endif()
