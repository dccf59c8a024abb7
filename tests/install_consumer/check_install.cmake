# Installs the built project into a fresh prefix, then configures, builds and
# runs the consumer project against it. Fails on the first step that fails.
file(REMOVE_RECURSE ${WORK_DIR})
function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}")
  endif()
endfunction()
step(${CMAKE_COMMAND} --install ${LUM_BINARY_DIR} --prefix ${WORK_DIR}/prefix)
step(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
     -DCMAKE_BUILD_TYPE=${BUILD_TYPE} "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
step(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
step(${WORK_DIR}/build/consumer)
