#include "platform/win32/FolderDialog.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "platform/windows-services/Utf.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

// Releases a COM interface when it goes out of scope.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&&) = delete;
    ComPtr& operator=(ComPtr&&) = delete;
    ~ComPtr() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Interface* operator->() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    Interface* Get() const { return pointer_; }

  private:
    Interface* pointer_ = nullptr;
};

// COM for this thread while the dialog is up, left as it was found.
class ComApartment {
  public:
    ComApartment()
        : initialized_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ComApartment(ComApartment&&) = delete;
    ComApartment& operator=(ComApartment&&) = delete;
    ~ComApartment() {
        if (initialized_) {
            CoUninitialize();
        }
    }

  private:
    bool initialized_;
};

void ThrowIfFailed(HRESULT result) {
    if (FAILED(result)) {
        throw Error(static_cast<int>(result), "The folder picker could not be shown.");
    }
}

}  // namespace

std::string Win32FolderDialog::ChooseFolder(const std::string& start) {
    const ComApartment apartment;
    ComPtr<IFileOpenDialog> dialog;
    ThrowIfFailed(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(dialog.Out())));
    FILEOPENDIALOGOPTIONS options = 0;
    ThrowIfFailed(dialog->GetOptions(&options));
    ThrowIfFailed(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM));
    ComPtr<IShellItem> startFolder;
    // A start that is no folder is passed over: the dialog opens where it last was.
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(windows::ToUtf16(start).c_str(), nullptr,
                                              IID_PPV_ARGS(startFolder.Out())))) {
        dialog->SetFolder(startFolder.Get());
    }
    const HRESULT shown = dialog->Show(owner_);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        return {};
    }
    ThrowIfFailed(shown);
    ComPtr<IShellItem> chosen;
    ThrowIfFailed(dialog->GetResult(chosen.Out()));
    wchar_t* path = nullptr;
    ThrowIfFailed(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path));
    std::string folder = windows::ToUtf8(path);
    CoTaskMemFree(path);
    return folder;
}

}  // namespace vx::win32
