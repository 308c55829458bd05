#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/CopyJob.h"

// What the window logic needs of the toolkit's controls. Bindings implement these over real
// widgets; tests implement them over plain fields. No toolkit type appears here.
namespace vx {

class Window {
  public:
    virtual ~Window() = default;
    virtual void Hide() = 0;
};

class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

class Label {
  public:
    virtual ~Label() = default;
    virtual void SetCaption(const std::string& caption) = 0;
};

// A list box with one selected item at most, items kept in the order they were given.
class ListBox {
  public:
    virtual ~ListBox() = default;
    // Replaces every item at once and selects nothing: a list of thousands of paths fills
    // in one go rather than row by row.
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    virtual std::string Item(int index) const = 0;
    // -1 when nothing is selected.
    virtual int SelectedIndex() const = 0;
};

// Modal boxes with one OK button and no icon; Show returns when the box is dismissed.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void Show(const std::string& text, const std::string& title) = 0;
    // The same with Retry and Cancel buttons; answers whether Retry was chosen.
    virtual bool AskRetry(const std::string& text, const std::string& title) = 0;
};

// What an open-file dialog offers: what the user reads, which ends in the patterns in
// brackets, and the patterns, separated by ';'.
struct FileType {
    std::string_view description;
    std::string_view pattern;
};

// The open-file dialog. The file name survives between showings; the dialog alone decides
// what it holds after a cancel.
class OpenFileDialog {
  public:
    virtual ~OpenFileDialog() = default;
    // Whether only an existing file may be chosen.
    virtual void SetFileMustExist(bool mustExist) = 0;
    // The one kind of file offered.
    virtual void SetFileType(const FileType& type) = 0;
    virtual void ShowOpen() = 0;
    virtual std::string FileName() const = 0;
};

// The platform's folder picker.
class FolderDialog {
  public:
    virtual ~FolderDialog() = default;
    // Opens at `start` where that is a folder; answers the folder chosen, empty after a cancel.
    virtual std::string ChooseFolder(const std::string& start) = 0;
};

// Keeps the windows alive while a copy runs on a thread of its own.
class CopyWatcher {
  public:
    virtual ~CopyWatcher() = default;
    // Returns once `job` has ended. Meanwhile the windows keep painting under a wait cursor;
    // a job still running after kProgressWindowDelay gets a progress window over the main
    // window that names `fileName` and shows the bytes copied of the total, with a Cancel
    // button that cancels the job, greyed once pressed or once the job is finishing. The main
    // window's controls take no input meanwhile; closing the main window cancels the job and
    // closes the window once the command that started it has ended.
    virtual void Watch(CopyJob& job, const std::string& fileName) = 0;
};

}  // namespace vx
