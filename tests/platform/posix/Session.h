#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "app/Startup.h"
#include "app/VXModMain.h"
#include "fakes/FakeControls.h"

namespace vx::test {

// One run of the program as its window binding drives it: the start-up routine, then the
// main window's logic over fake controls. A new Session is a new start.
class Session {
  public:
    explicit Session(PlatformServices& platform) : platform_(platform), startup_(platform) {
        label2.caption = "$Current Mod$";
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The start-up routine, then the main window's load. A failing load still leaves the
    // window up, as the binding shows it after reporting the failure.
    void Start() {
        if (startup_.Run() != FirstWindow::VXModMain) {
            throw std::logic_error("no game folder is remembered");
        }
        main_.emplace(startup_.Paths(), platform_, boxes,
                      VXModMain::Controls{label2, list1, dialog});
        main_->Load();
    }

    VXModMain& Main() { return main_.value(); }
    const SharedPaths& Paths() const { return startup_.Paths(); }

    // The three buttons, with what the user chose before pressing them; -1 selects nothing.
    void Switch(int item) {
        list1.selected = item;
        Main().SwtichClick();
    }
    void Add(const std::string& chosen) {
        dialog.answers = {chosen};
        dialog.shown = 0;
        Main().Command2Click();
    }
    void Remove(int item) {
        list1.selected = item;
        Main().Command1Click();
    }

    FakeMessageBoxes boxes;
    FakeLabel label2;
    FakeListBox list1;
    FakeOpenFileDialog dialog;

  private:
    PlatformServices& platform_;
    Startup startup_;
    std::optional<VXModMain> main_;
};

}  // namespace vx::test
