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

namespace vxdir {
inline constexpr std::string_view kCaption = "Vexmoor Patchkeeper - VX Directory";
inline constexpr Size kClientSize{4680, 930};
// Text1's caption is the suggested folder, which depends on the platform.
inline constexpr Control kLabel1{"Label1", "VX Directory", 0, 0, 975, 255};
inline constexpr Control kText1{"Text1", "", 0, 240, 4455, 285};
inline constexpr Control kCommand1{"Command1", "Ok", 1560, 600, 1455, 255};
inline constexpr std::array kTabOrder{kLabel1, kText1, kCommand1};
}  // namespace vxdir

namespace vxmodmain {
inline constexpr std::string_view kCaption = "Vexmoor Patchkeeper";
inline constexpr Size kClientSize{4710, 3315};
inline constexpr Control kLabel1{"Label1", "Current Mod", 0, 120, 4695, 255};
inline constexpr Control kLabel2{"Label2", "$Current Mod$", 0, 360, 4695, 255};
inline constexpr Control kList1{"List1", "", 0, 720, 4695, 1620};
inline constexpr Control kSwtich{"Swtich", "Switch To", 1200, 2400, 2175, 375};
inline constexpr Control kCommand2{"Command2", "Add A Mod", 120, 2880, 2175, 375};
inline constexpr Control kCommand1{"Command1", "Remove A Mod", 2400, 2880, 2055, 375};
inline constexpr std::array kTabOrder{kLabel1, kLabel2, kList1, kSwtich, kCommand2, kCommand1};
inline constexpr std::string_view kOpenFilter = "Vexmoor Patch (*.zpk) | *.zpk";
}  // namespace vxmodmain

}  // namespace vx::layout
