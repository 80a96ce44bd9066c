# kestrav_add_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per module, run headless by CTest.
function(kestrav_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KESTRAV_CONNECTIVITY_HOST=127.0.0.1:9;QTWEBENGINE_DISABLE_SANDBOX=1;KESTRAV_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KESTRAV_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# A test that runs Qt WebEngine. Under AddressSanitizer, Chromium inside
# QtWebEngineCore deletes objects through a pointer of another size
# (new-delete-type-mismatch, in the library's own code); that one check is
# off for these tests, every other check stays on.
function(kestrav_web_engine_test name)
  if(KESTRAV_SANITIZE MATCHES "address")
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT_MODIFICATION
      "ASAN_OPTIONS=string_append::new_delete_type_mismatch=0")
  endif()
endfunction()
