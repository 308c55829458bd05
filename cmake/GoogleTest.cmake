# Debian packages GoogleTest built for the host; for the mingw cross build it is compiled
# from the source package (googletest) that Debian installs under /usr/src.
if(CMAKE_CROSSCOMPILING)
    set(VX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(${VX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # Its own build names the targets as find_package(GTest) does.
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
        add_library(GTest::gmock ALIAS gmock)
    endif()
else()
    find_package(GTest REQUIRED)
endif()

# One ctest entry per test program: under Wine every process start costs a second, so the
# programs are not split into one process per test case.
function(vx_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vx_warnings GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(CMAKE_CROSSCOMPILING)
        # Where Wine's 32-bit loader runs under qemu, a program can die after a failure with
        # status 0: judge by what GoogleTest prints.
        set_tests_properties(${name} PROPERTIES
            PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
            FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|: Failure")
    endif()
endfunction()
