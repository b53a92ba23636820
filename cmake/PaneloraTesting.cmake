# panelora_add_test(NAME LAYER LAYER_NAME SOURCES ... LIBRARIES ... [GUI])
# One GoogleTest program per layer topic; every case is registered with CTest
# and labelled with its layer, so `ctest -L model` runs one layer.
function(panelora_add_test name)
  cmake_parse_arguments(ARG "GUI" "LAYER" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE panelora_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE panelora_test_main_core)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtTestPrinters.h)
  add_dependencies(${name} panelora_resources)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${ARG_LAYER}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               TIMEOUT 300)
endfunction()
