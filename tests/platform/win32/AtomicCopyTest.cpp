// The switch and the backup copy on real files: what the destination holds afterwards, what
// the user is told, and that no temporary file outlives a copy.
#include <tuple>

#include "ServicesTest.h"

namespace vx::win32 {
namespace {

using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

class AtomicCopyTest : public ServicesTest {
  protected:
    AtomicCopyTest() {
        WriteFile(live_, "the game's own archive");
        WriteFile(mod_, modBytes_);
    }

    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
};

TEST_F(AtomicCopyTest, SwitchCopiesByteForByteAndKeepsTheLiveArchivesAttributes) {
    SetFileAttributesW(ApiPath(mod_).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(ApiPath(live_).c_str(), FILE_ATTRIBUTE_READONLY);
    // A rename refused for a moment, as a virus scanner causes, is no failure.
    steps_.fault = {Step::Move, ERROR_SHARING_VIOLATION, 2, nullptr};
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadFile(live_), modBytes_);
    EXPECT_EQ(Attributes(live_) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_EQ(test::Leftovers(folder_.Utf8()), std::vector<std::string>{});
    // The same file under another spelling is left alone: nothing is renamed.
    steps_ = {};
    platform_.ReplaceFile(folder_.Utf8() + "\\\\PATCH_VX.ZPK", live_);
    platform_.ReplaceFile(folder_.Utf8() + "/./patch_vx.zpk", live_);
    EXPECT_EQ(steps_.moves, 0);
}

// Every failure leaves the live archive (read-only here) as it was, no temporary file, and
// the error says what to do about it.
TEST_F(AtomicCopyTest, EachFailureChangesNothingAndSaysWhatToDo) {
    const char* unwritable = std::getenv("VX_UNWRITABLE_GAME_FOLDER");  // see services.cmake
    using Case = std::tuple<Fault, DWORD, std::string, std::string>;    // text: a part
    std::vector<Case> cases{{{Step::Copy, ERROR_ACCESS_DENIED, INT_MAX, nullptr},
                             ERROR_ACCESS_DENIED,
                             "administrator",
                             live_},
                            {{}, ERROR_FILE_NOT_FOUND, "", mod_}};  // the source gone
    for (Step step : {Step::Copy, Step::Flush, Step::Move}) {
        cases.push_back({{step, ERROR_DISK_FULL, INT_MAX, nullptr}, ERROR_DISK_FULL, "", live_});
    }
    if (unwritable != nullptr) {  // under Wine no test can take away its own right to write
        cases.push_back(
            {{}, ERROR_ACCESS_DENIED, "administrator", std::string(unwritable) + "\\patch_vx.zpk"});
    }
    for (const auto& [fault, number, text, path] : cases) {
        const std::string live = path == mod_ ? live_ : path;
        const std::string folder = live == live_ ? folder_.Utf8() : unwritable;
        SetFileAttributesW(ApiPath(live_).c_str(), FILE_ATTRIBUTE_READONLY);
        steps_.fault = fault;
        const auto before = Snapshot(folder);
        if (path == mod_) {
            DeleteFileW(ApiPath(mod_).c_str());
        }
        const Error error = test::ErrorOf([&] { platform_.ReplaceFile(mod_, live); });
        EXPECT_EQ(error.Number(), static_cast<int>(number)) << error.what();
        EXPECT_NE(error.Text().find(text), std::string::npos) << error.Text();
        EXPECT_EQ(error.Path(), path);
        WriteFile(mod_, modBytes_);
        EXPECT_EQ(Snapshot(folder), before);
    }
}

// Only a file is a backup already: the copy leaves it alone, even one that appears while the
// copy runs. A folder there is the user's to move; the copy refuses, naming it.
TEST_F(AtomicCopyTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const std::string backup = folder_ / "NORMAL_patch_vx.zpk";
    const std::wstring api = ApiPath(backup);
    for (const int what : {0, 1, 2}) {  // a hidden file, a file that appears, a folder
        steps_.fault = {};
        if (what == 1) {
            steps_.fault = {Step::Flush, 0, 0, [&] { WriteFile(backup, "kept"); }};
        }
        ASSERT_TRUE(what == 1 ||
                    (what == 0 ? WriteFile(backup, "kept") &&
                                     SetFileAttributesW(api.c_str(), FILE_ATTRIBUTE_HIDDEN)
                               : CreateDirectoryW(api.c_str(), nullptr)));
        const auto before = Snapshot(folder_.Utf8());
        const auto error =
            test::FailureOf([&] { EXPECT_FALSE(platform_.CopyFileIfAbsent(live_, backup)); });
        EXPECT_EQ(error.has_value(), what == 2);
        EXPECT_TRUE(!error || (error->Number() == ERROR_ALREADY_EXISTS &&
                               error->Text().starts_with("A folder stands where the backup") &&
                               error->Path() == backup));
        EXPECT_TRUE(error || ReadFile(backup) == "kept");
        if (what == 1) {
            DeleteFileW(api.c_str());  // it was not there before, but appeared
        }
        EXPECT_EQ(Snapshot(folder_.Utf8()), before) << "something was written or left";
        DeleteFileW(api.c_str()) || RemoveDirectoryW(api.c_str());
    }
    EXPECT_TRUE(platform_.CopyFileIfAbsent(live_, backup));
    EXPECT_EQ(ReadFile(backup), "the game's own archive");
}

TEST_F(AtomicCopyTest, RemoveLeftoversRemovesOnlyTheTemporaryFilesEitherVersionWrote) {
    for (const char* name :
         {".patchkeeper-0123.tmp", ".patchkeeper-0123456789abcdeg.tmp",
          ".patchkeeper-0123456789abcdef.tmp.zpk", "patchkeeper-0123456789abcdef.tmp"}) {
        WriteFile(folder_ / name, "keep");
    }
    const auto before = Snapshot(folder_.Utf8());
    for (const char* name :
         {".patchkeeper-0123456789abcdef.tmp", ".patchkeeper-FEDCBA9876543210.tmp",
          ".patchkeeper-aBcDeF0123456789.tmp"}) {
        WriteFile(folder_ / name, "part");
        SetFileAttributesW(ApiPath(folder_ / name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    platform_.RemoveLeftovers(folder_.Utf8());
    platform_.RemoveLeftovers(folder_ / "no such folder");  // and never throws
    EXPECT_EQ(Snapshot(folder_.Utf8()), before);
}

}  // namespace
}  // namespace vx::win32
