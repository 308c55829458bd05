#pragma once

#include <string>
#include <vector>

#include "app/Controls.h"

// Controls that only keep what they are given: the figures are the window logic's and the
// store's, not a toolkit's.
namespace vx::bench {

struct NullLabel : Label {
    std::string caption;
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& c) override { caption = c; }
};

struct NullList : ListBox {
    std::vector<std::string> items;
    int selected = -1;
    void SetItems(const std::vector<std::string>& all) override {
        items = all;
        selected = -1;
    }
    int ItemCount() const override { return static_cast<int>(items.size()); }
    std::string Item(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    int SelectedIndex() const override { return selected; }
};

struct NullBoxes : MessageBoxes {
    void Show(const std::string&, const std::string&) override {}
    bool AskRetry(const std::string&, const std::string&) override { return false; }
};

// Answers every showing with `choice`.
struct NullDialog : OpenFileDialog {
    std::string choice;
    void SetFileMustExist(bool) override {}
    void SetFilter(const std::vector<FileType>&) override {}
    void ShowOpen() override {}
    std::string FileName() const override { return choice; }
};

}  // namespace vx::bench
