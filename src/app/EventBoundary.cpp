#include "app/EventBoundary.h"

#include <cstdio>
#include <exception>

#include "app/ErrorReport.h"
#include "state/CopyProgress.h"
#include "state/Error.h"

namespace vx {

void ReportCurrentFailure(MessageBoxes& boxes) noexcept {
    try {
        try {
            throw;
        } catch (const CopyCancelled&) {
            // The user stopped it; whatever needed saying was said where it stopped.
        } catch (const Error& error) {
            ReportError(boxes, error);
        } catch (const std::exception& error) {
            ReportError(boxes, Error(0, error.what()));
        } catch (...) {
            ReportError(boxes, Error(0, "An unexpected failure ended the command."));
        }
    } catch (...) {
        // The box could not be shown (no memory left, no window system). Standard error is
        // the last place left to say so; the window stays usable whether anyone reads it.
        std::fputs("Vexmoor Patchkeeper: a failure could not be reported\n", stderr);
    }
}

}  // namespace vx
