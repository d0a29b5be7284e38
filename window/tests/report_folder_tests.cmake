# Where the report files go.
add_executable(report_folder_tests report_folder_tests.cpp)
target_link_libraries(report_folder_tests PRIVATE window Qt6::Test)
add_test(NAME report_folder_tests COMMAND report_folder_tests)
set_tests_properties(report_folder_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
