# Java and Debian's EMF jars, for the checkers that load our exports in EMF
# (tools/xmi_check, tools/papyrus_check). Sets LUM_JAVA, LUM_JAVAC, the list
# lum_emf_jars, and LUM_EMF_FOUND when all are there (Debian:
# default-jdk-headless, libeclipse-emf-common-java, libeclipse-emf-ecore-java,
# libeclipse-emf-ecore-xmi-java).
find_program(LUM_JAVA java)
find_program(LUM_JAVAC javac)
set(LUM_EMF_FOUND ON)
if(NOT LUM_JAVA OR NOT LUM_JAVAC)
  set(LUM_EMF_FOUND OFF)
endif()
set(lum_emf_jars)
foreach(jar eclipse-emf-common eclipse-emf-ecore eclipse-emf-ecore-xmi)
  find_file(LUM_JAR_${jar} ${jar}.jar PATHS /usr/share/java NO_DEFAULT_PATH)
  if(NOT LUM_JAR_${jar})
    set(LUM_EMF_FOUND OFF)
  endif()
  list(APPEND lum_emf_jars ${LUM_JAR_${jar}})
endforeach()

# Target TARGET (built with all) compiles SOURCE, a Java class, into the
# folder DIR against CLASSPATH (a list), again when SOURCE or DEPENDS change.
function(lum_add_java_class target source dir)
  cmake_parse_arguments(JAVA "" "" "CLASSPATH;DEPENDS" ${ARGN})
  get_filename_component(class ${source} NAME_WE)
  string(REPLACE ";" ":" classpath "${JAVA_CLASSPATH}")
  add_custom_command(OUTPUT ${dir}/${class}.class
                     COMMAND ${LUM_JAVAC} -nowarn -cp "${classpath}" -d ${dir} ${source}
                     DEPENDS ${source} ${JAVA_DEPENDS}
                     COMMENT "Compiling ${class}")
  add_custom_target(${target} ALL DEPENDS ${dir}/${class}.class)
endfunction()
