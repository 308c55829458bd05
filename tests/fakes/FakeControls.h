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
    void Hide() override {}
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
    std::vector<std::string> answers;
    std::string fileName;
    std::size_t shown = 0;
    void SetFileMustExist(bool) override {}
    void SetFileType(const FileType&) override {}
    void ShowOpen() override {
        fileName = shown < answers.size() ? answers[shown] : fileName;
        ++shown;
    }
    std::string FileName() const override { return fileName; }
};

// Waits for each job without a window; `during` runs while the job may still be running, as
// the user's clicks do.
struct FakeCopyWatcher : CopyWatcher {
    std::vector<std::string> names;
    std::function<void(CopyJob&)> during = [](CopyJob&) {};
    void Watch(CopyJob& job, const std::string& fileName) override {
        names.push_back(fileName);
        during(job);
        while (!job.Now().ended) {
            std::this_thread::yield();
        }
    }
};

// Answers each showing with `answer`.
struct FakeFolderDialog : FolderDialog {
    std::string answer;
    std::string ChooseFolder(const std::string&) override { return answer; }
};

}  // namespace vx::test
