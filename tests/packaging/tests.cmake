# The installed copy: `cmake --install` of this build into a scratch prefix, checked as a user's
# system would see it (the .deb gets the same checks from `make check-package`).
add_test(NAME packaging.install_tree COMMAND ${CMAKE_CURRENT_LIST_DIR}/check-install.sh ${PROJECT_BINARY_DIR})
set_tests_properties(packaging.install_tree PROPERTIES TIMEOUT 120)
