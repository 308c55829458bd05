# The Win32 platform services on real files and a scratch registry key, under Wine.
vx_add_test(vx_win32_services_test
    ${CMAKE_CURRENT_LIST_DIR}/AtomicCopyTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrySettingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TempFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32FilesTest.cpp
)
target_link_libraries(vx_win32_services_test PRIVATE vx_win32_services)
