# Widget tests: Qt Test programs, one per tests/ui/*_test.cpp, run on the offscreen platform
# against the build's application folder (bin/: cfg.ini, texts and the rendered skin).
find_package(Qt6 REQUIRED COMPONENTS Test)

file(GLOB ui_test_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
set(ui_test_support ${CMAKE_CURRENT_LIST_DIR}/ui_fixture.h ${CMAKE_CURRENT_LIST_DIR}/ui_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_device_port.h)

function(zorvan_ui_test name)
  cmake_parse_arguments(T "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${ui_test_support})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE zorvan_ui Qt6::Test zorvan_warnings zorvan_sanitizers)
  target_compile_definitions(${name} PRIVATE ZORVAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_dependencies(${name} zorvan zorvan_skin_pictures zorvan_data)
endfunction()

# The suppressions of `make asan` and `make tsan` are given to every widget test, so a plain
# ctest run in the build folder checks the same; the X11 and Wayland scripts pass them on to
# the programs they start.
set(ui_sanitizer_env)
set(ui_lsan_options "suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
if(ZORVAN_ASAN)
  list(APPEND ui_sanitizer_env "LSAN_OPTIONS=${ui_lsan_options}")
endif()
if(ZORVAN_TSAN)
  # Qt starts a program (zorvanctl, in the end-to-end tests) through a vfork-like clone whose
  # child only execs; TSan then takes the test for a forked child and would end it at its next
  # new thread.
  list(APPEND ui_sanitizer_env "TSAN_OPTIONS=halt_on_error=1 die_after_fork=0 suppressions=${CMAKE_CURRENT_LIST_DIR}/tsan.supp")
endif()
set(ui_test_env QT_QPA_PLATFORM=offscreen ${ui_sanitizer_env})
set(ui_x11_env QT_QPA_PLATFORM=xcb ${ui_sanitizer_env})

foreach(src ${ui_test_srcs})
  get_filename_component(stem ${src} NAME_WE)
  zorvan_ui_test(ui_${stem} SOURCES ${src})
  add_test(NAME ui.${stem} COMMAND ui_${stem})
  set_tests_properties(ui.${stem} PROPERTIES ENVIRONMENT "${ui_test_env}" TIMEOUT 120)
endforeach()

# Window shapes and the tray need a real X server: Xvfb, with trayer as the tray host.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  zorvan_ui_test(ui_x11_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/x11_checks.cpp)
  add_test(NAME ui.x11_checks COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24"
    ${CMAKE_CURRENT_LIST_DIR}/with-tray-host.sh $<TARGET_FILE:ui_x11_checks>)
  set_tests_properties(ui.x11_checks PROPERTIES ENVIRONMENT "${ui_x11_env}" TIMEOUT 120)
  # The macro page recording keys that xdotool types into the X server.
  find_program(XDOTOOL xdotool)
  if(XDOTOOL)
    add_test(NAME ui.macro_end_to_end_x11 COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24"
      $<TARGET_FILE:ui_macro_end_to_end_test> keysFromTheXServerReachTheSlot)
    set_tests_properties(ui.macro_end_to_end_x11 PROPERTIES
      ENVIRONMENT "${ui_x11_env};ZORVANCTL=$<TARGET_FILE:zorvanctl>" TIMEOUT 120)
  endif()
endif()

# `make screenshots` renders the same pictures in every language.
if(TARGET zorvan_screenshots)
  add_test(NAME ui.screenshots_every_language COMMAND ${CMAKE_CURRENT_LIST_DIR}/screenshots-languages.sh
    $<TARGET_FILE:zorvan_screenshots> ${PROJECT_BINARY_DIR}/bin)
  set_tests_properties(ui.screenshots_every_language PROPERTIES TIMEOUT 300)
endif()

# The GUI as a Wayland client of weston's headless backend, with no X server.
zorvan_ui_test(ui_wayland_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/wayland_checks.cpp)
add_test(NAME ui.wayland_checks COMMAND ${CMAKE_CURRENT_LIST_DIR}/with-weston.sh $<TARGET_FILE:ui_wayland_checks>)
set(ui_wayland_env ${ui_sanitizer_env})
if(ZORVAN_ASAN)
  # Mesa's driver is built without frame pointers, so only full stacks reach libEGL_mesa, by which
  # tests/lsan.supp names the driver's leak.
  set(ui_wayland_env "LSAN_OPTIONS=${ui_lsan_options}:fast_unwind_on_malloc=0")
endif()
set_tests_properties(ui.wayland_checks PROPERTIES ENVIRONMENT "${ui_wayland_env}" SKIP_RETURN_CODE 77 TIMEOUT 120)
