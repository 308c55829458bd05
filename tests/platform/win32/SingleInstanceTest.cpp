#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/SingleInstance.h"

namespace vx::win32 {
namespace {

constexpr const wchar_t* kClass = L"VexmoorPatchkeeper.SingleInstanceTest";
constexpr const char* kMutex = "Local\\VexmoorPatchkeeperTest";

HWND MakeWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kClass, L"first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr, windowClass.hInstance, nullptr);
}

TEST(SingleInstanceTest, ASecondStartIsRefusedAndRaisesTheFirstsShownWindow) {
    const HWND window = MakeWindow();
    {
        const SingleInstance first{kMutex, {}};
        ASSERT_TRUE(first.IsFirst());
        const SingleInstance second{kMutex, {kClass}};
        EXPECT_FALSE(second.IsFirst());
        EXPECT_FALSE(second.AskFirstToRaise()) << "a hidden window is not the first's";
        ShowWindow(window, SW_MINIMIZE);
        EXPECT_TRUE(second.AskFirstToRaise());
        EXPECT_FALSE(IsIconic(window));
    }
    DestroyWindow(window);
    EXPECT_TRUE(SingleInstance(kMutex, {}).IsFirst()) << "the mutex goes with its holders";
}

}  // namespace
}  // namespace vx::win32
