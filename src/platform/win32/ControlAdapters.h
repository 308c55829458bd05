#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/Controls.h"

// The window logic's controls over real Win32 child windows. Each adapter is attached to its
// window once the window exists.
namespace vx::win32 {

// Sets the text of any window from UTF-8.
void WriteWindowText(HWND window, const std::string& text);

class Win32Window : public Window {
  public:
    void Attach(HWND window) { window_ = window; }
    void Hide() override;

  private:
    HWND window_ = nullptr;
};

class Win32TextBox : public TextBox {
  public:
    void Attach(HWND edit) { edit_ = edit; }
    std::string Text() const override;
    void SetText(const std::string& text) override;

  private:
    HWND edit_ = nullptr;
};

class Win32Label : public Label {
  public:
    void Attach(HWND label) { label_ = label; }
    void SetCaption(const std::string& caption) override;

  private:
    HWND label_ = nullptr;
};

// Paths are often wider than the list: the list scrolls sideways as far as its widest item.
class Win32ListBox : public ListBox {
  public:
    void Attach(HWND list) { list_ = list; }
    void SetItems(const std::vector<std::string>& items) override;
    std::string Item(int index) const override;
    int SelectedIndex() const override;

    // Measures every item again, after the font changed.
    void UpdateScrollWidth();

  private:
    // How far the list must scroll sideways to show the widest of `items` whole.
    int ScrollWidth(const std::vector<std::wstring>& items) const;

    HWND list_ = nullptr;
};

}  // namespace vx::win32
