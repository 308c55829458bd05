#pragma once

#include <windows.h>

#include <utility>

namespace vx::windows {

// Owns one handle of the kind that Traits describes and closes it when it goes.
template <typename Traits>
class Unique {
  public:
    using Value = typename Traits::Value;

    Unique() = default;
    explicit Unique(Value value) : value_(value) {}
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.value_, Traits::Invalid()));
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    Value Get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }

    void Reset(Value value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) {
            Traits::Close(value_);
        }
        value_ = value;
    }

    // For the API functions that hand a handle back through a pointer.
    Value* Put() {
        Reset();
        return &value_;
    }

  private:
    Value value_ = Traits::Invalid();
};

struct FileTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value value) { CloseHandle(value); }
};

struct FindTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value value) { FindClose(value); }
};

struct KeyTraits {
    using Value = HKEY;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { RegCloseKey(value); }
};

// Kernel objects other than files answer nullptr, not INVALID_HANDLE_VALUE, for none.
struct KernelObjectTraits {
    using Value = HANDLE;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { CloseHandle(value); }
};

using UniqueFile = Unique<FileTraits>;                  // CreateFileW
using UniqueFind = Unique<FindTraits>;                  // FindFirstFileW
using UniqueKey = Unique<KeyTraits>;                    // RegOpenKeyExW, RegCreateKeyExW
using UniqueKernelObject = Unique<KernelObjectTraits>;  // CreateMutexW

}  // namespace vx::windows
