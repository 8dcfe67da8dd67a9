# Every tst_*.cpp here is one test executable.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_rtf)
  target_compile_definitions(${name} PRIVATE BW_RTF_FIXTURES="${CMAKE_CURRENT_LIST_DIR}/fixtures")
endforeach()

# Reads an RTF file and writes it back as we write RTF; scripts/make-rtf-fixtures
# has LibreOffice open the result.
add_executable(rtf_resave ${CMAKE_CURRENT_LIST_DIR}/rtf_resave.cpp)
target_link_libraries(rtf_resave PRIVATE bw_rtf)
