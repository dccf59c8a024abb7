# Writes the manual page and the bash completion with the built tool:
#   cmake -DLUM=path/to/lum -DDIR=out -P write_manual.cmake
file(MAKE_DIRECTORY ${DIR})
foreach(pair "--manpage;lum.1" "--bash-completion;lum")
  list(GET pair 0 flag)
  list(GET pair 1 name)
  execute_process(COMMAND ${LUM} ${flag} OUTPUT_FILE ${DIR}/${name} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${LUM} ${flag} failed")
  endif()
endforeach()
