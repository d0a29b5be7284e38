# The bit timing diagram: drawing calls, image canvas and picture widget (QtTest, offscreen).
add_executable(diagram_tests ${CMAKE_CURRENT_LIST_DIR}/diagram_tests.cpp)
target_link_libraries(diagram_tests PRIVATE window timing Qt6::Widgets Qt6::Gui Qt6::Test)
add_test(NAME diagram_tests COMMAND diagram_tests)
set_tests_properties(diagram_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
