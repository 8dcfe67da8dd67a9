# Every tst_*.cpp here is one test executable; they run the built bwnotes.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_notes bw_transfer)
  add_dependencies(${name} bwnotes)
endforeach()
