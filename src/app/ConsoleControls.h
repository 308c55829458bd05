#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Controls.h"

// The window logic's controls without a window, for the command line: the list and the label
// are kept in memory, each box is one line on standard error, and a copy is waited for with at
// most one updating line of progress.
namespace vx {

// Standard output or error, written with whatever the platform writes them with (no iostreams:
// they would double the size of the Windows program).
class Output {
  public:
    virtual ~Output() = default;
    // Writes `text` at once.
    virtual void Write(std::string_view text) = 0;
};

class ConsoleLabel final : public Label {
  public:
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    const std::string& Caption() const { return caption_; }

  private:
    std::string caption_;
};

class ConsoleList final : public ListBox {
  public:
    void SetItems(const std::vector<std::string>& items) override;
    std::string Item(int index) const override;
    int SelectedIndex() const override { return selected_; }
    void Select(int index) { selected_ = index; }
    const std::vector<std::string>& Items() const { return items_; }

  private:
    std::vector<std::string> items_;
    int selected_ = -1;
};

// Nobody can answer a box on the command line: Retry is answered Cancel, which leaves
// everything as it was.
class ConsoleBoxes final : public MessageBoxes {
  public:
    explicit ConsoleBoxes(Output& err) : err_(err) {}
    void Show(const std::string& text, const std::string& title) override;
    bool AskRetry(const std::string& text, const std::string& title) override;

  private:
    Output& err_;
};

// A box's text as one line: the path a box sets apart on a line of its own follows after a
// colon, and the lines of a list are separated by semicolons.
std::string OneLine(const std::string& text);

// Offers the one file the command line named, for a path that is to be registered.
class ConsoleOpenFileDialog final : public OpenFileDialog {
  public:
    void SetFileMustExist(bool /*mustExist*/) override {}
    void SetFileType(const FileType& /*type*/) override {}
    void ShowOpen() override {}
    std::string FileName() const override { return fileName_; }
    void SetFileName(const std::string& fileName) { fileName_ = fileName; }

  private:
    std::string fileName_;
};

// Waits for a copy, cancelling it once `interrupted` answers true (Ctrl+C). With `progress`,
// a copy still running after the delay a window would wait shows how far it has come in one
// line that is rewritten in place, and cleared when the copy ends.
class ConsoleCopyWatcher final : public CopyWatcher {
  public:
    ConsoleCopyWatcher(Output& progress, bool showProgress, std::function<bool()> interrupted);
    void Watch(CopyJob& job, const std::string& fileName) override;

  private:
    Output& progress_;
    bool showProgress_;
    std::function<bool()> interrupted_;
};

}  // namespace vx
