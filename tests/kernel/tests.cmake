# The uhid mouse's pieces, tested on the host.
zorvan_test_suite(kernel_tests DIR kernel DEPS zorvan_uhid_mouse)

# The real kernel's HID stack: zorvanctl against the uhid mouse in a small VM (run-vm.sh). It
# skips where qemu or a kernel is missing. It runs alone, so the answer waits inside the
# emulated machine are not starved by the other tests. Sanitizer and fuzz builds leave it out:
# their runtimes under software emulation would only slow down what this build already tests.
if(NOT ZORVAN_ASAN AND NOT ZORVAN_TSAN AND NOT ZORVAN_FUZZ)
  add_test(NAME kernel.uhid_mouse_in_vm
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-vm.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(kernel.uhid_mouse_in_vm PROPERTIES
    SKIP_RETURN_CODE 77 RUN_SERIAL TRUE TIMEOUT 240)
endif()
