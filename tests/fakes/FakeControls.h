#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Controls.h"

namespace vx::test {

struct FakeWindow : Window {
    bool visible = false;
    void Hide() override { visible = false; }
};

struct FakeTextBox : TextBox {
    std::string text;
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
};

struct FakeLabel : Label {
    std::string caption;
    void SetCaption(const std::string& c) override { caption = c; }
};

struct FakeListBox : ListBox {
    std::vector<std::string> items;
    int selected = -1;
    std::function<void()> whenSet = [] {};
    void SetItems(const std::vector<std::string>& all) override {
        whenSet();
        items = all;
        selected = -1;
    }
    std::string Item(int index) const override { return items.at(static_cast<std::size_t>(index)); }
    int SelectedIndex() const override { return selected; }
};

using Boxes = std::vector<std::pair<std::string, std::string>>;  // text, title

struct FakeMessageBoxes : MessageBoxes {
    Boxes shown;
    bool broken = false;  // a box that cannot be shown: each showing throws
    std::function<void()> whenShown = [] {};
    void Show(const std::string& text, const std::string& title) override {
        whenShown();
        shown.emplace_back(text, title);
        if (broken) {
            throw std::runtime_error("no window system");
        }
    }
    bool AskRetry(const std::string& text, const std::string& title) override {
        Show(text, title);
        return false;  // Cancel
    }
};

// Answers each showing with the next of `answers`; a showing beyond them keeps the name.
struct FakeOpenFileDialog : OpenFileDialog {
    bool fileMustExist = false;
    FileType fileType;
    std::vector<std::string> answers;
    std::string fileName;
    int shown = 0;
    void SetFileMustExist(bool mustExist) override { fileMustExist = mustExist; }
    void SetFileType(const FileType& type) override { fileType = type; }
    void ShowOpen() override {
        if (static_cast<std::size_t>(shown) < answers.size()) {
            fileName = answers[static_cast<std::size_t>(shown)];
        }
        ++shown;
    }
    std::string FileName() const override { return fileName; }
};

// Waits for each job without a window; `during` runs while the job may still be running, as
// the user's clicks do, and `cancel` cancels it first.
struct FakeCopyWatcher : CopyWatcher {
    std::vector<std::string> names;
    bool cancel = false;
    std::function<void()> during = [] {};
    void Watch(CopyJob& job, const std::string& fileName) override {
        names.push_back(fileName);
        if (cancel) {
            job.Cancel();
        }
        during();
        while (!job.Now().ended) {
            std::this_thread::yield();
        }
    }
};

// Answers each showing with `answer`, remembering where it was asked to open.
struct FakeFolderDialog : FolderDialog {
    std::string answer;
    std::vector<std::string> starts;
    std::string ChooseFolder(const std::string& start) override {
        starts.push_back(start);
        return answer;
    }
};

}  // namespace vx::test
