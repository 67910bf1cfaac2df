# Journeys: the real program driven as a user drives it, each on a desktop of its own (Xvfb, a
# session bus with the accessibility bus), checked against the emulated mouse's memory,
# zorvanctl and the files it leaves. Debian's python3 runs them: pyatspi comes from its packages.
set(journeys_dir ${CMAKE_CURRENT_LIST_DIR})
execute_process(COMMAND /usr/bin/python3 ${journeys_dir}/journeys.py --list
                OUTPUT_VARIABLE journey_names OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "tests/journeys/journeys.py --list failed: run scripts/install-deps")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${journeys_dir}/journeys.py)
string(REPLACE "\n" ";" journey_names "${journey_names}")
foreach(name ${journey_names})
  add_test(NAME journey.${name}
           COMMAND /usr/bin/python3 ${journeys_dir}/journeys.py ${name} ${PROJECT_BINARY_DIR}/bin
                   ${PROJECT_BINARY_DIR}/journey-screenshots)
  # The sanitizer builds' suppressions reach the programs a journey starts.
  set_tests_properties(journey.${name} PROPERTIES TIMEOUT 300 LABELS journey ENVIRONMENT "${ui_sanitizer_env}")
endforeach()
