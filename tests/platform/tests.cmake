# Every tst_*.cpp here is one test executable.
file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(source ${test_sources})
  get_filename_component(name ${source} NAME_WE)
  bw_add_test(${name} SOURCES ${source} LIBS bw_platform)
endforeach()

# The scripted prompt service fails the running test on a question it has no
# answer for and on answers left unused: these entries pass when it does.
foreach(function unexpectedQuestionFailsTest unusedAnswerFailsTest)
  add_test(NAME tst_prompt_service_${function} COMMAND tst_prompt_service ${function})
  set_tests_properties(tst_prompt_service_${function} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BW_EXPECT_FAILURE=1"
    PASS_REGULAR_EXPRESSION "FAIL!  : tst_PromptService::${function}\\(\\) (Unexpected message box|Scripted answers left unused)"
    TIMEOUT 60)
endforeach()
