# The Win32 platform services on real files and a scratch registry key, under Wine, alone and
# under the main window's logic.
vx_add_test(vx_win32_services_test
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrySettingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32FilesTest.cpp
)
target_link_libraries(vx_win32_services_test PRIVATE vx_app vx_win32_services vx_test_support)

# A game folder the user may not write in cannot be made from inside Wine: the script makes
# it on the Linux side, and the test finds it through Wine's drive Z:, the whole file system.
if(CMAKE_HOST_UNIX)
    set(unwritable ${CMAKE_CURRENT_BINARY_DIR}/unwritable-game)
    set(script ${CMAKE_CURRENT_LIST_DIR}/unwritable-folder.sh)
    add_test(NAME vx_unwritable_folder_make COMMAND ${script} make ${unwritable})
    add_test(NAME vx_unwritable_folder_remove COMMAND ${script} remove ${unwritable})
    set_tests_properties(vx_unwritable_folder_make PROPERTIES FIXTURES_SETUP unwritable)
    set_tests_properties(vx_unwritable_folder_remove PROPERTIES FIXTURES_CLEANUP unwritable)
    string(REPLACE "/" "\\" windowsPath "Z:${unwritable}")
    set_tests_properties(vx_win32_services_test PROPERTIES
        FIXTURES_REQUIRED unwritable
        ENVIRONMENT "VX_UNWRITABLE_GAME_FOLDER=${windowsPath}")
endif()
