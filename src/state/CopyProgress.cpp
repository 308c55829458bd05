#include "state/CopyProgress.h"

namespace vx {

Error CancelledError(const std::string& path) {
    return Error(kErrorCancelled, "The copy was cancelled.", path);
}

}  // namespace vx
