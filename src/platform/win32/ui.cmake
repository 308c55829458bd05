# The native window binding: the two windows and the progress window, the adapters of the window logic's controls,
# the message boxes, the open-file dialog and the folder picker.
add_library(vx_win32_ui STATIC
    CaptionFont.cpp
    DialogKeys.cpp
    Dpi.cpp
    Form.cpp
    ListTooltip.cpp
    Program.cpp
    ProgressWindow.cpp
    SingleInstance.cpp
    GameFolderWindow.cpp
    MainWindow.cpp
    Win32Controls.cpp
    Win32CopyWatcher.cpp
    Win32FolderDialog.cpp
    Win32MessageBoxes.cpp
    Win32OpenFileDialog.cpp
)
# The per-monitor DPI functions of Windows 10 are looked up at run time, so the program
# still starts where they are missing.
target_compile_definitions(vx_win32_ui PUBLIC
    UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00)
target_link_libraries(vx_win32_ui
    PUBLIC vx_app vx_win32_services user32 gdi32 comdlg32 comctl32 shell32 ole32 uuid
    PRIVATE vx_warnings)

# The program: one static 32-bit .exe that needs no DLL beyond those Windows ships.
set(VX_ICON_DIR "${PROJECT_SOURCE_DIR}/assets" CACHE PATH "Folder that holds patchkeeper.ico")
add_executable(VexmoorPatchkeeper WIN32 main.cpp Resources.rc)
target_link_libraries(VexmoorPatchkeeper PRIVATE vx_win32_ui vx_warnings)
target_link_options(VexmoorPatchkeeper PRIVATE -municode)
target_include_directories(VexmoorPatchkeeper PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_SOURCE_DIR};${VX_ICON_DIR}>)
set_source_files_properties(Resources.rc PROPERTIES
    COMPILE_DEFINITIONS
        "VX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};VX_VERSION_MINOR=${PROJECT_VERSION_MINOR};VX_VERSION_PATCH=${PROJECT_VERSION_PATCH}"
    OBJECT_DEPENDS "${VX_ICON_DIR}/patchkeeper.ico;${CMAKE_CURRENT_SOURCE_DIR}/app.manifest")
