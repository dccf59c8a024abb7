# The checker catches each kind of fault: a clean export of MODEL (with MAP
# as its path map) in both flavours passes, and each copy with one fault put
# in by a regular expression fails, with the kind named on its file's lines.
# Each row: kind, flavour, pattern, replacement (the first match only).
set(faults
    "source|eclipse|(<eAnnotations [^>]*source=\")[^\"]*|\\1a tool name"
    "key|eclipse|(<details xmi:type=\"ecore:EStringToStringMapEntry\" xmi:id=\")([^\"]*)(\" key=\"[^\"]*\")|\\1\\2-again\\3/>\\1\\2\\3"
    "opposite|eclipse|memberEnd=\"([^ \"]*) [^\"]*\"|memberEnd=\"\\1\""
    "dangling|eclipse| type=\"[^\"]*\"| type=\"nowhere\""
    "diagram|omg|(<ownedElement xmi:type=\"umldi:UMLEdge\"[^>]*>)([^<]*<waypoint [^>]*/>)+|\\1"
    "load|eclipse|<packagedElement |<packagedElement unknown=\"1\" "
    "validator|eclipse|(<generalization [^>]*) general=\"[^\"]*\"|\\1")

if(NOT EXISTS ${UML2}/UML.ecore OR NOT EXISTS ${UML2}/Types.ecore)
  message("XMI EMF check skipped: no UML2 metamodel in ${UML2}")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(flavour eclipse omg)
  execute_process(COMMAND ${LUM} xmi ${MODEL} --pathmap ${MAP} --flavour ${flavour} -o ${WORK}/clean-${flavour}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status GREATER 1)
    message(FATAL_ERROR "lum xmi failed on ${MODEL} (${status})")
  endif()
  file(READ ${WORK}/clean-${flavour} clean_${flavour})
endforeach()
set(files ${WORK}/clean-eclipse ${WORK}/clean-omg)
foreach(fault IN LISTS faults)
  string(REPLACE "|" ";" fields "${fault}")
  list(GET fields 0 kind)
  list(GET fields 1 flavour)
  list(GET fields 2 pattern)
  list(LENGTH fields count)
  set(replacement)
  if(count GREATER 3)
    list(GET fields 3 replacement)
  endif()
  string(REGEX MATCH "${pattern}" found "${clean_${flavour}}")
  if(found STREQUAL "")
    message(FATAL_ERROR "${kind}: the export of ${MODEL} has nothing that matches ${pattern}")
  endif()
  string(REGEX REPLACE "${pattern}" "${replacement}" edited "${found}")
  string(FIND "${clean_${flavour}}" "${found}" at)
  string(SUBSTRING "${clean_${flavour}}" 0 ${at} before)
  string(LENGTH "${before}${found}" end)
  string(SUBSTRING "${clean_${flavour}}" ${end} -1 after)
  file(WRITE ${WORK}/${kind} "${before}${edited}${after}")
  list(APPEND files ${WORK}/${kind})
endforeach()

# Java with its quick compiler only, as in run_check.cmake.
execute_process(COMMAND ${JAVA} -XX:TieredStopAtLevel=1 -cp ${CLASSPATH} XmiCheck ${UML2} ${files} OUTPUT_VARIABLE report)
message("${report}")
foreach(flavour eclipse omg)
  string(FIND "${report}" "${WORK}/clean-${flavour}: [" at)
  if(at GREATER -1)
    message(FATAL_ERROR "the clean ${flavour} export has problems")
  endif()
endforeach()
foreach(fault IN LISTS faults)
  string(REGEX MATCH "^[^|]*" kind "${fault}")
  string(FIND "${report}" "${WORK}/${kind}: [${kind}]" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the checker does not report the fault of kind ${kind}")
  endif()
endforeach()
