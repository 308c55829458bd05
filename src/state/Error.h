#pragma once

#include <exception>
#include <string>

namespace vx {

// The one failure type of the program: whatever goes wrong in a platform service or in
// reading the stored state travels as this, with the platform's own number and text and
// the path concerned, up to the event boundary of the window binding that shows it.
class Error : public std::exception {
  public:
    Error(int number, std::string text, std::string path = {});

    int Number() const noexcept { return number_; }
    const std::string& Text() const noexcept { return text_; }
    const std::string& Path() const noexcept { return path_; }
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    int number_;
    std::string text_;
    std::string path_;
    std::string what_;
};

// Numbers of the failures the program raises itself, the same on every platform: error numbers
// stay the ones earlier versions showed for the same failures.
inline constexpr int kErrorOverflow = 6;
inline constexpr int kErrorTypeMismatch = 13;
inline constexpr int kErrorFileExists = 58;
inline constexpr int kErrorDiskFull = 61;

}  // namespace vx
