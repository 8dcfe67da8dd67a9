# Every tst_*.cpp here is one test executable.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_editor)
endforeach()
