#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <thread>

#include "platform/qt/CopyWatcher.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/ProgressWindow.h"
#include "platform/qt/QtTestSupport.h"
#include "support/Failure.h"

namespace vx::test {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

// A copy of 1 GiB that goes on until it is cancelled, then fails as a cancelled one does.
void CopyUntilCancelled(CopyProgress& progress) {
    for (std::int64_t done = 0; progress.Copied(done, kGiB); done += kGiB / 1024) {
        std::this_thread::sleep_for(2ms);
    }
    throw CopyCancelled();
}

// Stopped by Cancel, and then by the user closing the main window, which closes once the
// command that copied has ended.
TEST_F(QtWindowTest, ALongCopyShowsItsWayOverDisabledControlsUntilCancelled) {
    std::filesystem::create_directory(game + "/mods");
    startup.SetGamePath(game);
    qt::MainWindow window(startup.Paths(), services, boxes, dialog, [this] { ++ended; });
    qt::QtCopyWatcher watcher(window);
    window.show();
    for (const bool closeMain : {false, true}) {
        CopyJob job(CopyUntilCancelled);
        QTimer::singleShot(kProgressWindowDelay + 300ms, [&] {
            auto* progress = VisibleWindow<qt::ProgressWindow>();
            ASSERT_NE(progress, nullptr);
            ExpectWindow(*progress, layout::progress::kCaption, layout::progress::kClientSize,
                         layout::progress::kTabOrder, {"Cancel"});
            for (const char* name : {"FileName", "Copied"}) {
                const auto& label = Child<QLabel>(*progress, name);
                EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), label.width());
            }
            EXPECT_TRUE(Child<QLabel>(*progress, "FileName").text().startsWith("A mod with"));
            EXPECT_TRUE(Child<QLabel>(*progress, "Copied").text().endsWith(" of 1.0 GB"));
            for (const char* name : {"ModList", "Switch", "Add", "Remove"}) {
                EXPECT_FALSE(Child<QWidget>(window, name).isEnabled()) << name;
            }
            closeMain ? static_cast<void>(watcher.DeferClose())
                      : Child<QPushButton>(*progress, "Cancel").click();
        });
        watcher.Watch(job, "A mod with a name far too long to fit in a window this small.zpk");
        EXPECT_THROW(job.Finish(), CopyCancelled);
        EXPECT_EQ(VisibleWindow<qt::ProgressWindow>(), nullptr);
        EXPECT_TRUE(Child<QPushButton>(window, "Switch").isEnabled());
        EXPECT_EQ(ended, 0) << "closed before the command ended";
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ended, 1);
}

}  // namespace
}  // namespace vx::test
