#pragma once

#include <array>
#include <string_view>

// Where every control of the two windows sits, in twips (1/1440 inch), and the order Tab
// walks them in (the order of the arrays). Bindings scale these with the window's DPI.
namespace vx::layout {

struct Size {
    int width;
    int height;
};

struct Control {
    std::string_view name;
    std::string_view caption;  // the caption, or the initial text of a text box
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kTwipsPerInch = 1440;

// Pixels for `twips` at `dpi` dots per inch, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// How a control follows a window that has grown past the size laid out here, its smallest.
enum class Growth {
    None,          // stays where it is
    Across,        // takes the extra width
    Fill,          // takes the extra width and height
    FollowBottom,  // keeps its distance from the bottom edge, centred across the extra width
};

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

// Where `control` sits, in pixels at `dpi`, in a client area `extra` pixels larger than the
// one laid out here.
constexpr Rect PlaceGrown(const Control& control, Growth growth, int dpi, Size extra) {
    Rect rect{TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
              TwipsToPixels(control.width, dpi), TwipsToPixels(control.height, dpi)};
    if (growth == Growth::Across || growth == Growth::Fill) {
        rect.width += extra.width;
    }
    if (growth == Growth::Fill) {
        rect.height += extra.height;
    }
    if (growth == Growth::FollowBottom) {
        rect.left += extra.width / 2;
        rect.top += extra.height;
    }
    return rect;
}

namespace gamefolder {
inline constexpr std::string_view kCaption = "Vexmoor Patchkeeper - VX Directory";
inline constexpr Size kClientSize{4680, 930};
// The folder text's caption is the suggested folder, which depends on the platform.
inline constexpr Control kFolderLabel{"FolderLabel", "VX Directory", 0, 0, 975, 255};
inline constexpr Control kFolderText{"FolderText", "", 0, 240, 4455, 285};
inline constexpr Control kOk{"Ok", "Ok", 1560, 600, 1455, 255};
// Picks the folder text's folder with the platform's folder picker, for paths too long to type.
inline constexpr Control kBrowse{"Browse", "Browse...", 3135, 600, 1455, 255};
inline constexpr std::array kTabOrder{kFolderLabel, kFolderText, kOk, kBrowse};
}  // namespace gamefolder

namespace mainwindow {
inline constexpr std::string_view kCaption = "Vexmoor Patchkeeper";
inline constexpr Size kClientSize{4710, 3315};
inline constexpr Control kCurrentModHeading{"CurrentModHeading", "Current Mod", 0, 120, 4695, 255};
// The live archive's file name.
inline constexpr Control kCurrentMod{"CurrentMod", "$Current Mod$", 0, 360, 4695, 255};
inline constexpr Control kModList{"ModList", "", 0, 720, 4695, 1620};
inline constexpr Control kSwitch{"Switch", "Switch To", 1200, 2400, 2175, 375};
inline constexpr Control kAdd{"Add", "Add A Mod", 120, 2880, 2175, 375};
inline constexpr Control kRemove{"Remove", "Remove A Mod", 2400, 2880, 2055, 375};
inline constexpr std::array kTabOrder{
    kCurrentModHeading, kCurrentMod, kModList, kSwitch, kAdd, kRemove};

// The size laid out here is the smallest: a larger window gives the list room for long paths, the
// labels stretch across it and the buttons stay together below the list.
constexpr Growth GrowthOf(const Control& control) {
    if (control.name == kModList.name) {
        return Growth::Fill;
    }
    if (control.name == kCurrentModHeading.name || control.name == kCurrentMod.name) {
        return Growth::Across;
    }
    return Growth::FollowBottom;
}
}  // namespace mainwindow

// The window a long copy shows over the main window.
namespace progress {
inline constexpr std::string_view kCaption = "Vexmoor Patchkeeper";
inline constexpr Size kClientSize{4710, 1575};
// The archive's file name; a long one ends in an ellipsis.
inline constexpr Control kFileName{"FileName", "", 0, 120, 4695, 255};
inline constexpr Control kBar{"Bar", "", 120, 435, 4455, 255};
// The bytes copied of the total.
inline constexpr Control kCopied{"Copied", "", 0, 750, 4695, 255};
inline constexpr Control kCancel{"Cancel", "Cancel", 1560, 1080, 1575, 375};
inline constexpr std::array kTabOrder{kFileName, kBar, kCopied, kCancel};
}  // namespace progress

}  // namespace vx::layout
