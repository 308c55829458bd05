#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "platform/qt/MessageBoxes.h"
#include "platform/qt/OpenFileDialog.h"
#include "support/TempFolder.h"

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
    dialog.SetFileType({"Vexmoor Patch (*.zpk)", "*.zpk"});

    ShowAnswering(dialog, [&](QFileDialog& open) {
        EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(open.nameFilters(), QStringList{"Vexmoor Patch (*.zpk)"});
        open.selectFile(QFile::decodeName(QByteArray::fromStdString(mod)));
        static_cast<QDialog&>(open).accept();  // as the Open button does
    });
    EXPECT_EQ(dialog.FileName(), mod);

    ShowAnswering(dialog, [](QFileDialog& open) { open.reject(); });
    EXPECT_EQ(dialog.FileName(), "");
}

}  // namespace
}  // namespace vx::test
