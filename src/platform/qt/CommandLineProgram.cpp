#include "platform/qt/CommandLineProgram.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <unistd.h>

#include "app/CommandLineRun.h"
#include "platform/posix/CommandLineSystem.h"
#include "platform/posix/IniSettings.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/CopyWatcher.h"
#include "platform/qt/MessageBoxes.h"

namespace vx::qt {
namespace {

// The command line where boxes are shown: its one question is a box too.
class BoxedCommandLineSystem final : public posix::CommandLineSystem {
  public:
    using CommandLineSystem::CommandLineSystem;
    bool AskYesNo(const std::string& question, const std::string& title) override {
        const auto box = MakeMessageBox(question, title, nullptr);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
        return box->exec() == QMessageBox::Yes;
    }
};

}  // namespace

int RunCommandLine(const CommandLine& line, bool terminal, int& argc, char** argv) {
    posix::IniSettings settings{posix::DefaultSettingsFile()};
    posix::PosixFiles files;
    posix::PosixSystemInfo system;
    const Services services{settings, files, system};
    posix::StandardOutput out(STDOUT_FILENO);
    posix::StandardOutput err(STDERR_FILENO);
    if (terminal) {
        posix::CommandLineSystem host(err);
        return RunCommandLineOnTerminal(line, services, host, out, err, posix::ErrorOnTerminal());
    }
    const QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    // The progress window's owner, never shown: no main window opens for a switch.
    QWidget owner;
    QtCopyWatcher copies(owner);
    QtMessageBoxes boxes;
    BoxedCommandLineSystem host(err);
    return RunCommandLine(line, services, {boxes, copies, false}, host, out);
}

}  // namespace vx::qt
