// The switch and the backup copy on real files: what the destination holds afterwards, what
// the user is told, and that no temporary file outlives a copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Platform.h"
#include "support/Failure.h"
#include "support/TempFolder.h"

namespace vx::win32 {
namespace {

using test::ReadFile;
using test::WriteFile;

enum class Step { None, Copy, Flush, Move };

// The system's steps, any one of which can be made to fail: the copy and the flush after
// doing their work (a complete temporary file is left to clean up), the rename instead.
// `meanwhile` runs as the chosen step is reached.
struct FaultySteps : FileSteps {
    void Copy(const std::wstring& source, const std::wstring& target, bool unbuffered) override {
        FileSteps::Copy(source, target, unbuffered);
        Reached(Step::Copy);
    }
    void Flush(const std::wstring& file) override {
        FileSteps::Flush(file);
        Reached(Step::Flush);
    }
    void Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        ++moves;
        Reached(Step::Move);
        FileSteps::Move(from, to, replace);
    }
    void Reached(Step step) {
        if (step == at && meanwhile) {
            meanwhile();
        }
        if (step == at && failures-- > 0) {
            throw SystemError(failure);
        }
    }

    Step at = Step::None;
    DWORD failure = ERROR_DISK_FULL;
    int failures = INT_MAX;
    int moves = 0;
    std::function<void()> meanwhile;
};

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ApiPath(path).c_str());
}

class AtomicCopyTest : public ::testing::Test {
  protected:
    AtomicCopyTest() {
        WriteFile(live_, "the game's own archive");
        WriteFile(mod_, modBytes_);
    }

    test::TempFolder folder_;
    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
    FaultySteps steps_;
    Win32Platform platform_{kProgramSettingsRoot, steps_};
};

TEST_F(AtomicCopyTest, SwitchCopiesByteForByteAndKeepsTheLiveArchivesAttributes) {
    SetFileAttributesW(ApiPath(mod_).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(ApiPath(live_).c_str(), FILE_ATTRIBUTE_READONLY);
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadFile(live_), modBytes_);
    EXPECT_EQ(Attributes(live_) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY})
        << "the live archive's attributes, not the mod's";
    EXPECT_EQ(test::Leftovers(folder_.Utf8()), std::vector<std::string>{});
    // A rename refused for a moment, as a virus scanner causes, is no failure.
    steps_.at = Step::Move;
    steps_.failure = ERROR_SHARING_VIOLATION;
    steps_.failures = 2;
    platform_.ReplaceFile(mod_, live_);
    // The same file under another spelling is left alone.
    const int moves = steps_.moves;
    for (const std::string& source :
         {folder_.Utf8() + "\\\\PATCH_VX.ZPK", folder_.Utf8() + "/./patch_vx.zpk"}) {
        platform_.ReplaceFile(source, live_);
    }
    EXPECT_EQ(steps_.moves, moves) << "nothing is copied";
}

// Every failure leaves the live archive (read-only here) as it was, no temporary file, and
// says what to do about it.
TEST_F(AtomicCopyTest, EachFailureChangesNothingAndSaysWhatToDo) {
    const char* unwritable = std::getenv("VX_UNWRITABLE_GAME_FOLDER");  // see services.cmake
    struct Case {
        std::string what;
        std::function<void()> make;
        DWORD number;
        std::string text;  // a part of it
        std::string path;
    };
    UniqueFile game;
    std::vector<Case> cases{
        {"held open by the game",
         [&] {
             game.Reset(CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
         },
         ERROR_SHARING_VIOLATION, "Close Vexmoor", live_},
        {"a folder the user may not write",
         [&] {
             steps_.at = Step::Copy;
             steps_.failure = ERROR_ACCESS_DENIED;
         },
         ERROR_ACCESS_DENIED, "administrator", live_},
        {"the source gone", [&] { DeleteFileW(ApiPath(mod_).c_str()); }, ERROR_FILE_NOT_FOUND, "",
         mod_}};
    for (Step step : {Step::Copy, Step::Flush, Step::Move}) {
        cases.push_back(
            {"a failing step", [&, step] { steps_.at = step; }, ERROR_DISK_FULL, "", live_});
    }
    if (unwritable != nullptr) {  // under Wine no test can take away its own right to write
        cases.push_back({"an unwritable game folder", [] {}, ERROR_ACCESS_DENIED, "administrator",
                         std::string(unwritable) + "\\patch_vx.zpk"});
    }
    for (const auto& [what, make, number, text, path] : cases) {
        SCOPED_TRACE(what);
        const std::string live = path == mod_ ? live_ : path;
        const std::string folder = live == live_ ? folder_.Utf8() : unwritable;
        SetFileAttributesW(ApiPath(live_).c_str(), FILE_ATTRIBUTE_READONLY);
        steps_ = {};
        const auto before = test::Snapshot(folder);
        make();
        const Error error = test::ErrorOf([&] { platform_.ReplaceFile(mod_, live); });
        EXPECT_TRUE(error.Number() == static_cast<int>(number) ||
                    (game && error.Number() == ERROR_ACCESS_DENIED))
            << error.what();
        EXPECT_NE(error.Text().find(text), std::string::npos) << error.Text();
        EXPECT_EQ(error.Path(), path);
        EXPECT_TRUE(!game || steps_.moves == 5) << "a refused rename is tried a few times";
        game.Reset();
        WriteFile(mod_, modBytes_);
        EXPECT_EQ(test::Snapshot(folder), before);
    }
}

// Only a file is a backup already: the copy leaves it alone, even one that appears while the
// copy runs. Anything else there is the user's to move; the copy refuses, naming it.
TEST_F(AtomicCopyTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const std::string backup = folder_ / "NORMAL_patch_vx.zpk";
    const auto appear = [&](Step step) {
        return [&, step] {
            steps_.at = step;
            steps_.failures = 0;
            steps_.meanwhile = [&] { WriteFile(backup, "kept"); };
            return true;
        };
    };
    // Where links are made but not shown as such (Wine), they cannot be tested.
    const auto link = [&](const wchar_t* to) {
        const auto names = test::EntryNames(folder_.Utf8());
        return CreateSymbolicLinkW(ApiPath(backup).c_str(), to, 0) &&
               (Attributes(backup) & FILE_ATTRIBUTE_REPARSE_POINT) &&
               test::EntryNames(folder_.Utf8()).size() == names.size() + 1;
    };
    const std::string folder = "A folder stands where the backup";
    const std::string other = "Something that is not a file stands where the backup";
    for (const auto& [what, make, refusal] :
         std::vector<std::tuple<std::string, std::function<bool()>, std::string>>{
             {"a hidden file",
              [&] {
                  return WriteFile(backup, "kept") &&
                         SetFileAttributesW(ApiPath(backup).c_str(), FILE_ATTRIBUTE_HIDDEN);
              },
              ""},
             {"a file that appears during the copy", appear(Step::Copy), ""},
             {"a file that appears during the flush", appear(Step::Flush), ""},
             {"a link to a file", [&] { return link(L"mod.zpk"); }, ""},
             {"a folder", [&] { return CreateDirectoryW(ApiPath(backup).c_str(), nullptr); },
              folder},
             {"a dangling link", [&] { return link(L"gone.zpk"); }, other}}) {
        SCOPED_TRACE(what);
        steps_ = {};
        if (!make()) {
            std::cout << "[ skipped  ] " << what << ": this system cannot make it\n";
            continue;
        }
        const auto before = test::Snapshot(folder_.Utf8());
        const auto error =
            test::FailureOf([&] { EXPECT_FALSE(platform_.CopyFileIfAbsent(live_, backup)); });
        ASSERT_EQ(error.has_value(), !refusal.empty());
        EXPECT_TRUE(!error || (error->Number() == ERROR_ALREADY_EXISTS &&
                               error->Text().starts_with(refusal) && error->Path() == backup))
            << error->what();
        EXPECT_TRUE(error || ReadFile(backup) == "kept");
        if (steps_.meanwhile) {
            DeleteFileW(ApiPath(backup).c_str());  // it was not there before, but appeared
        }
        EXPECT_EQ(test::Snapshot(folder_.Utf8()), before) << "something was written or left";
        if (!DeleteFileW(ApiPath(backup).c_str())) {
            RemoveDirectoryW(ApiPath(backup).c_str());
        }
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
    const auto before = test::Snapshot(folder_.Utf8());
    for (const char* name :
         {".patchkeeper-0123456789abcdef.tmp", ".patchkeeper-FEDCBA9876543210.tmp",
          ".patchkeeper-aBcDeF0123456789.tmp"}) {
        WriteFile(folder_ / name, "part");
        SetFileAttributesW(ApiPath(folder_ / name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    platform_.RemoveLeftovers(folder_.Utf8());
    platform_.RemoveLeftovers(folder_ / "no such folder");  // and never throws
    EXPECT_EQ(test::Snapshot(folder_.Utf8()), before);
}

}  // namespace
}  // namespace vx::win32
