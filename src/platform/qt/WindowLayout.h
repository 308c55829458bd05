#pragma once

#include <span>
#include <string_view>

#include "app/Layout.h"

class QWidget;

// The windows are laid out in twips, as their layout tables give them, and scaled with the
// screen's logical DPI: the same DPI Qt sizes fonts with, so text and controls grow together.
namespace vx::qt {

int LogicalDpi(const QWidget& widget);

// Caption, icon and fixed client size of one of the program's windows.
void SetUpWindow(QWidget& window, std::string_view caption, layout::Size clientSize, int dpi);

// The same for a window that may grow: `clientSize` is its first and smallest size.
void SetUpGrowingWindow(QWidget& window, std::string_view caption, layout::Size clientSize,
                        int dpi);

void Place(QWidget& control, const layout::Control& where, int dpi);

// Places the window's controls, found by their names, for its present size: each grows as
// `growthOf` says by what the window has over `clientSize`.
void FollowWindowSize(QWidget& window, std::span<const layout::Control> controls,
                      layout::Size clientSize, layout::Growth (*growthOf)(const layout::Control&),
                      int dpi);

// Gives the window the largest font, from 8 points (the size the captions were laid out for)
// down to 6, at which the captions of its labels and buttons fit inside them as the style
// draws them, and the text of its text boxes fits their height. Call once the controls are
// placed and captioned.
void FitCaptionFont(QWidget& window);

// Chains the window's controls, found by their names, for Tab in the table's order. Controls
// that take no focus, such as labels, are passed over.
void SetTabOrder(QWidget& window, std::span<const layout::Control> order);

}  // namespace vx::qt
