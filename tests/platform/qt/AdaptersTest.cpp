#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "app/Layout.h"
#include "platform/posix/TempFolder.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/ControlFactory.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtOpenFileDialog.h"

namespace vx::test {
namespace {

TEST(QtMessageBoxes, AreOneOkButtonWithoutIconShowingTheTextAsItIs) {
    const auto box =
        qt::MakeMessageBox("File not found /m/<b>a&b</b>.zpk", "Could not find file", nullptr);
    EXPECT_EQ(box->windowTitle(), "Could not find file");
    EXPECT_EQ(box->text(), "File not found /m/<b>a&b</b>.zpk");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

TEST(QtListBox, SetsEveryRowAtOnceKeepingEachPathsBytesAndSelectingNothing) {
    QWidget window;
    QListWidget& list = *qt::MakeListBox(window, layout::vxmodmain::kList1, 96);
    qt::QtListBox adapter{list};
    adapter.SetItems({"/m/a.zpk", "/m/b.zpk", "/m/c.zpk"});
    list.setCurrentRow(2);
    const std::vector<std::string> latin1{"/m/caf\xe9.zpk", "/m/a.zpk"};
    adapter.SetItems(latin1);
    EXPECT_EQ(adapter.ItemCount(), 2);
    EXPECT_EQ(adapter.Item(0), latin1[0]);
    EXPECT_EQ(adapter.Item(1), latin1[1]);
    EXPECT_EQ(adapter.SelectedIndex(), -1);
    EXPECT_TRUE(list.uniformItemSizes());
}

// Shows the real dialog; `answer` acts on it once it is open, as the user would.
void ShowAnswering(qt::QtOpenFileDialog& dialog, const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [&answer] {
        auto* open = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        answer(*open);
    });
    dialog.ShowOpen();
}

TEST(QtOpenFileDialog, OffersExistingFilesAndGivesTheFileSystemsBytesOrNothing) {
    TempFolder folder;
    const std::string mod = folder / "Ünïcødé mod.zpk";
    WriteFile(mod, "mod");
    qt::QtOpenFileDialog dialog;
    dialog.SetFileMustExist(true);
    dialog.SetFilter({{"Vexmoor Patch (*.zpk)", "*.zpk"}, {"Archives", "*.zpk;*.zip"}, {"", "*"}});

    ShowAnswering(dialog, [&](QFileDialog& open) {
        EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(open.nameFilters(),
                  (QStringList{"Vexmoor Patch (*.zpk)", "Archives (*.zpk *.zip)", "(*)"}));
        open.selectFile(QFile::decodeName(QByteArray::fromStdString(mod)));
        static_cast<QDialog&>(open).accept();  // as the Open button does
    });
    EXPECT_EQ(dialog.FileName(), mod);

    ShowAnswering(dialog, [](QFileDialog& open) { open.reject(); });
    EXPECT_EQ(dialog.FileName(), "");
}

}  // namespace
}  // namespace vx::test
