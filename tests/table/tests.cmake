# Every tst_*.cpp here is one test executable.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_table Qt6::Xml SQLite::SQLite3)
endforeach()

# The program the killed-save test starts and kills.
add_executable(bw_save_loop ${CMAKE_CURRENT_LIST_DIR}/helpers/save_loop.cpp)
target_link_libraries(bw_save_loop PRIVATE bw_table)
add_dependencies(tst_killed_save bw_save_loop)
