# The window binding under Wine: real windows, so the tests need a display (Xvfb).
vx_add_test(vx_win32_ui_test FormsTest.cpp SingleInstanceTest.cpp WidgetsTest.cpp)
target_link_libraries(vx_win32_ui_test PRIVATE vx_win32_ui)
