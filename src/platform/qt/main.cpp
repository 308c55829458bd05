#include <QApplication>
#include <QSocketNotifier>
#include <iostream>
#include <optional>

#include "ProjectInfo.h"
#include "app/EventBoundary.h"
#include "app/Startup.h"
#include "platform/posix/IniSettings.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/posix/SingleInstance.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/CommandLine.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/qt/OpenFileDialog.h"
#include "platform/qt/Program.h"

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = vx::qt::HandleCommandLine(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    app.setWindowIcon(vx::qt::AppIcon());
    // Ties the windows to the installed desktop entry, whose icon Wayland shells show.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(
        vx::kApplicationId.data(), static_cast<qsizetype>(vx::kApplicationId.size())));
    // The program ends when one of its two windows is closed, not when the last visible
    // window goes: an error box closed while the game-folder window hands over to the main
    // window would otherwise end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One program writes the settings: a second start hands over to the first before it
    // reads any of them. A guard that cannot be set up keeps nobody from starting: refusing
    // would let another user who took the folder's name stop every start, and two programs
    // at once still never tear the settings or the live archive, every write being atomic.
    vx::posix::SingleInstance instance{vx::posix::SingleInstance::RuntimeFolder()};
    if (!instance.Failure().empty()) {
        std::cerr << "Vexmoor Patchkeeper: cannot make sure only one copy runs: "
                  << instance.Failure() << "; starting anyway\n";
    }
    if (!instance.IsFirst()) {
        instance.AskFirstToRaise();
        return 0;
    }

    vx::qt::QtMessageBoxes boxes;
    vx::qt::QtOpenFileDialog openDialog;
    vx::posix::IniSettings settings{vx::posix::DefaultSettingsFile()};
    vx::posix::PosixFiles files;
    vx::posix::PosixSystemInfo system;
    const vx::Services services{settings, files, system};
    vx::Startup startup{services};
    vx::qt::Program program{startup, services, boxes, openDialog, [] { QCoreApplication::quit(); }};
    std::optional<QSocketNotifier> asking;  // gone before the instance whose socket it watches
    if (const int socket = instance.Listen(); socket >= 0) {
        asking.emplace(socket, QSocketNotifier::Read);
        QObject::connect(&*asking, &QSocketNotifier::activated, [&instance, &program] {
            instance.AnswerAsking([&program] { program.RaiseShownWindow(); });
        });
    }

    bool started = false;
    vx::RunEvent(boxes, [&] {
        program.Start(startup.Run());
        started = true;
    });
    return started ? QApplication::exec() : 1;
}
