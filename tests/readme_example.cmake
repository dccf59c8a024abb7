# The README shows examples/quick_start/main.cpp whole; fail when they differ.
file(READ ${SOURCE_DIR}/README.md readme)
file(READ ${SOURCE_DIR}/examples/quick_start/main.cpp example)
string(FIND "${readme}" "${example}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md does not show examples/quick_start/main.cpp as it is; copy it over")
endif()
