# Platform services over the Win32 API: registry settings and files.
add_library(vx_win32_services STATIC
    ${CMAKE_CURRENT_LIST_DIR}/AtomicCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileSteps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LongPath.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrySettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SteamSearch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Utf.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32Error.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32Files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32Platform.cpp
)
# PUBLIC: whoever includes these headers gets windows.h configured the same way.
target_compile_definitions(vx_win32_services PUBLIC
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# The services need Windows 7 at least; targets including their headers pick their own minimum.
target_compile_definitions(vx_win32_services PRIVATE _WIN32_WINNT=0x0601)
target_include_directories(vx_win32_services PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vx_win32_services
    PUBLIC vx_state advapi32 bcrypt
    PRIVATE vx_warnings)
