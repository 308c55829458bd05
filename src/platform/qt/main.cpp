#include <QApplication>
#include <optional>

#include "AppIcon.h"
#include "Program.h"
#include "QtMessageBoxes.h"
#include "QtOpenFileDialog.h"
#include "app/EventBoundary.h"
#include "app/Startup.h"
#include "platform/posix/PosixPlatform.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setWindowIcon(vx::qt::AppIcon());
    // The program ends when one of its two windows is closed, not when the last visible
    // window goes: an error box closed while the game-folder window hands over to the main
    // window would otherwise end it.
    QApplication::setQuitOnLastWindowClosed(false);

    vx::qt::QtMessageBoxes boxes;
    vx::qt::QtOpenFileDialog commonDialog1;
    vx::posix::PosixPlatform platform{vx::posix::PosixPlatform::DefaultConfigHome()};
    vx::Startup startup{platform};
    vx::qt::Program program{startup, platform, boxes, commonDialog1,
                            [] { QCoreApplication::quit(); }};

    bool started = false;
    vx::RunEvent(boxes, [&] {
        program.Start(startup.Run());
        started = true;
    });
    return started ? QApplication::exec() : 1;
}
