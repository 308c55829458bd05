#include "platform/posix/PosixError.h"

#include <cerrno>
#include <cstring>

namespace vx::posix {

Error ErrnoError(int number, const std::string& path) {
    std::string text = std::strerror(number);
    switch (number) {
        case ENOSPC:
        case EDQUOT:
            text += ". Free some space on that disk and try again";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            text += ". You may not write there: check the folder's permissions";
            break;
        default:
            break;
    }
    return Error(number, text, path);
}

void ThrowIfFailed(long result, const std::string& path) {
    if (result == -1) {
        throw ErrnoError(errno, path);
    }
}

}  // namespace vx::posix
