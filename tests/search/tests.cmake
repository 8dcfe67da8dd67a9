# Every tst_*.cpp here is one test executable. A test named *_frame starts
# the whole program's long-lived objects and links the application library.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  set(libs bw_search bw_notes)
  if(name MATCHES "_frame$")
    list(APPEND libs bw_app)
  endif()
  bw_add_test(${name} SOURCES ${source} LIBS ${libs})
endforeach()
