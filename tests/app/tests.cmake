# Every tst_*.cpp here is one test executable.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_app)
endforeach()

# Plug-ins for the host's tests, built into their own folder; each test copies
# the ones it needs into a folder of its own.
set(test_plugins ${CMAKE_BINARY_DIR}/test-plugins)
set(plugin_source ${CMAKE_CURRENT_LIST_DIR}/plugins/test_plugin.cpp)
set(plugin_bitmaps ${CMAKE_SOURCE_DIR}/plugins)
bw_add_plugin(tp_alpha BITMAP ${plugin_bitmaps}/hello/hello.bmp OUTPUT_DIR ${test_plugins}
  SOURCES ${plugin_source} DEFINES BW_TEST_CAPTION="&Alpha" BW_TEST_SIGNATURE="alpha")
bw_add_plugin(tp_beta BITMAP ${plugin_bitmaps}/journal/journal.bmp OUTPUT_DIR ${test_plugins}
  SOURCES ${plugin_source} DEFINES BW_TEST_CAPTION="Beta" BW_TEST_SIGNATURE="beta")
bw_add_plugin(tp_no_click BITMAP ${plugin_bitmaps}/hello/hello.bmp OUTPUT_DIR ${test_plugins}
  SOURCES ${plugin_source}
  DEFINES BW_TEST_CAPTION="No click" BW_TEST_SIGNATURE="no-click" BW_TEST_NO_CLICK)
bw_add_plugin(tp_no_bitmap OUTPUT_DIR ${test_plugins}
  SOURCES ${plugin_source} DEFINES BW_TEST_CAPTION="No bitmap" BW_TEST_SIGNATURE="no-bitmap")
bw_add_plugin(tp_bad_bitmap BITMAP ${CMAKE_CURRENT_LIST_DIR}/plugins/test_plugin.cpp
  OUTPUT_DIR ${test_plugins}
  SOURCES ${plugin_source} DEFINES BW_TEST_CAPTION="Bad bitmap" BW_TEST_SIGNATURE="bad-bitmap")
add_dependencies(tst_plugin_host tp_alpha tp_beta tp_no_click tp_no_bitmap tp_bad_bitmap)
target_compile_definitions(tst_plugin_host PRIVATE BW_TEST_PLUGIN_DIR="${test_plugins}")
target_include_directories(tst_plugin_host PRIVATE ${CMAKE_SOURCE_DIR}/plugins)
add_dependencies(tst_plugin_host hello journal)

# The recovery test starts the program itself, on a virtual X display.
add_dependencies(tst_recovery_process bramblewick)
# It runs the program under its own X server and window manager; alone, so
# that a loaded machine does not starve it (it once ran past its timeout
# beside the sanitizer tests).
set_tests_properties(tst_recovery_process PROPERTIES RUN_SERIAL TRUE)

# The command-line test runs the program for --help, --version and an unknown option.
add_dependencies(tst_command_line bramblewick)
