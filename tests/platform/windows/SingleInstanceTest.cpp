#include <gtest/gtest.h>
#include <windows.h>

#include "platform/windows/SingleInstance.h"

namespace vx::windows {
namespace {

TEST(SingleInstanceTest, ASecondStartIsRefusedAndRestoresTheFirstsShownWindow) {
    constexpr const wchar_t* kClass = L"VexmoorPatchkeeper.SingleInstanceTest";
    constexpr const char* kMutex = "Local\\VexmoorPatchkeeperTest";
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const WNDCLASSW windowClass{0,       DefWindowProcW, 0,       0,       instance,
                                nullptr, nullptr,        nullptr, nullptr, kClass};
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowW(kClass, L"first", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, instance, nullptr);
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
}  // namespace vx::windows
