#include "state/Error.h"

#include <utility>

namespace vx {

Error::Error(int number, std::string text, std::string path)
    : number_(number), text_(std::move(text)), path_(std::move(path)) {
    what_ = "Error " + std::to_string(number_) + ": " + text_;
    if (!path_.empty()) {
        what_ += " (" + path_ + ")";
    }
}

}  // namespace vx
