#include "app/ErrorReport.h"

#include "state/SettingsLayout.h"

namespace vx {

std::string FormatError(const Error& error) {
    std::string text = "Error " + std::to_string(error.Number()) + ": " + error.Text();
    if (!error.Path().empty()) {
        text += "\n\n" + error.Path();
    }
    return text;
}

void ReportError(MessageBoxes& boxes, const Error& error) {
    boxes.Show(FormatError(error), std::string(settings::kAppName));
}

}  // namespace vx
