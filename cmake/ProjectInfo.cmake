# What the program says about itself, from one place: the version in project(), the
# application id the desktop integration is named by, and the addresses the metainfo gives.
set(VX_APPLICATION_ID io.github.vexmoor_patchkeeper.Patchkeeper)
set(VX_HOMEPAGE https://github.com/vexmoor-patchkeeper/patchkeeper)
set(VX_SCREENSHOT_URL
    https://raw.githubusercontent.com/vexmoor-patchkeeper/patchkeeper/main/docs/main-window.png)

configure_file(${CMAKE_CURRENT_LIST_DIR}/ProjectInfo.h.in
    ${PROJECT_BINARY_DIR}/generated/ProjectInfo.h @ONLY)
add_library(vx_project_info INTERFACE)
target_include_directories(vx_project_info INTERFACE ${PROJECT_BINARY_DIR}/generated)
