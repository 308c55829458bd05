#pragma once

#include <QIcon>

namespace vx::qt {

// The windows' icon, in every size the program carries.
QIcon AppIcon();

}  // namespace vx::qt
