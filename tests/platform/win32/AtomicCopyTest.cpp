// The switch and the backup copy on real files: what the destination holds afterwards, what
// the user is told, and that no temporary file outlives a copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
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

using test::EntryNames;
using test::ErrorOf;
using test::ReadFile;
using test::WriteFile;
using Names = std::vector<std::string>;

enum class Step { None, Copy, Flush, Move };

// The system's steps, any one of which can be made to fail: the copy and the flush after
// doing their work (a complete temporary file is left to clean up), the rename instead.
// `meanwhile` runs as the chosen step is reached, before it fails.
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
        ++calls;
        if (step == at && meanwhile) {
            meanwhile();
        }
        if (step == at && failures > 0) {
            --failures;
            throw SystemError(failure);
        }
    }

    Step at = Step::None;
    DWORD failure = ERROR_DISK_FULL;
    int failures = INT_MAX;
    int calls = 0;
    int moves = 0;
    std::function<void()> meanwhile;
};

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ApiPath(path).c_str());
}
void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(ApiPath(path).c_str(), attributes)) << path;
}

class AtomicCopyTest : public ::testing::Test {
  protected:
    AtomicCopyTest() {
        WriteFile(live_, "the game's own archive");
        WriteFile(mod_, modBytes_);
    }

    // Nothing but the two archives, the live one as it was.
    void ExpectUntouched() {
        EXPECT_EQ(ReadFile(live_), "the game's own archive");
        EXPECT_EQ(EntryNames(folder_.Utf8()), (Names{"mod.zpk", "patch_vx.zpk"}));
    }
    Error SwitchFails(const std::string& live) {
        return ErrorOf([&] { platform_.ReplaceFile(mod_, live); });
    }

    test::TempFolder folder_;
    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
    FaultySteps steps_;
    Win32Platform platform_{kProgramSettingsRoot, steps_};
};

TEST_F(AtomicCopyTest, SwitchCopiesByteForByteAndKeepsTheLiveArchivesAttributes) {
    SetAttributes(mod_, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetAttributes(live_, FILE_ATTRIBUTE_READONLY);
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadFile(live_), modBytes_);
    EXPECT_TRUE(Attributes(live_) & FILE_ATTRIBUTE_READONLY) << "the live archive was read-only";
    EXPECT_FALSE(Attributes(live_) & FILE_ATTRIBUTE_HIDDEN) << "the mod's attributes came along";
    EXPECT_EQ(EntryNames(folder_.Utf8()), (Names{"mod.zpk", "patch_vx.zpk"}));
}

TEST_F(AtomicCopyTest, SameFileUnderAnotherSpellingIsLeftAlone) {
    for (const std::string& source :
         {live_, folder_.Utf8() + "\\\\PATCH_VX.ZPK", folder_.Utf8() + "/./patch_vx.zpk"}) {
        platform_.ReplaceFile(source, live_);
    }
    EXPECT_EQ(steps_.calls, 0);
    ExpectUntouched();
}

TEST_F(AtomicCopyTest, ArchiveHeldOpenByTheGameIsLeftIntactWithPlainWords) {
    UniqueFile game(CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(game);
    const Error error = SwitchFails(live_);
    EXPECT_TRUE(error.Number() == ERROR_SHARING_VIOLATION || error.Number() == ERROR_ACCESS_DENIED)
        << error.what();
    EXPECT_NE(error.Text().find("Close Vexmoor"), std::string::npos) << error.Text();
    EXPECT_EQ(error.Path(), live_);
    EXPECT_EQ(steps_.moves, 5) << "a refused rename is tried a few times";
    game.Reset();
    ExpectUntouched();
}

class InjectedFault : public AtomicCopyTest, public ::testing::WithParamInterface<Step> {};

TEST_P(InjectedFault, LeavesTheLiveArchiveAsItWasAndNoTemporaryFile) {
    SetAttributes(live_, FILE_ATTRIBUTE_READONLY);
    steps_.at = GetParam();
    EXPECT_EQ(SwitchFails(live_).Number(), ERROR_DISK_FULL);
    EXPECT_TRUE(Attributes(live_) & FILE_ATTRIBUTE_READONLY);
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(EachStep, InjectedFault,
                         ::testing::Values(Step::Copy, Step::Flush, Step::Move));

TEST_F(AtomicCopyTest, ErrorsSayWhatToDo) {
    // A rename refused for a moment, as a virus scanner causes, is no failure.
    steps_.at = Step::Move;
    steps_.failure = ERROR_SHARING_VIOLATION;
    steps_.failures = 2;
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadFile(live_), modBytes_);
    // A folder the user may not write, such as one under Program Files.
    steps_ = {};
    steps_.at = Step::Copy;
    steps_.failure = ERROR_ACCESS_DENIED;
    const Error denied = SwitchFails(live_);
    EXPECT_EQ(denied.Number(), ERROR_ACCESS_DENIED);
    EXPECT_NE(denied.Text().find("administrator"), std::string::npos) << denied.Text();
    EXPECT_EQ(EntryNames(folder_.Utf8()), (Names{"mod.zpk", "patch_vx.zpk"}));
    // The source gone since it was listed: the system's words, naming that file.
    DeleteFileW(ApiPath(mod_).c_str());
    const Error gone = SwitchFails(live_);
    EXPECT_EQ(gone.Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(gone.Path(), mod_);
}

// The folder comes from outside (see services.cmake): under Wine no test can take away its
// own right to write.
TEST_F(AtomicCopyTest, GameFolderTheUserMayNotWriteIsLeftAsItWasWithPlainWords) {
    const char* folder = std::getenv("VX_UNWRITABLE_GAME_FOLDER");
    if (folder == nullptr) {
        GTEST_SKIP() << "VX_UNWRITABLE_GAME_FOLDER names no unwritable game folder";
    }
    const std::string live = std::string(folder) + "\\patch_vx.zpk";
    const std::string before = ReadFile(live);
    ASSERT_FALSE(before.empty());
    const Error error = SwitchFails(live);
    EXPECT_EQ(error.Number(), ERROR_ACCESS_DENIED) << error.what();
    EXPECT_NE(error.Text().find("administrator"), std::string::npos) << error.Text();
    EXPECT_EQ(error.Path(), live);
    EXPECT_EQ(ReadFile(live), before);
    EXPECT_EQ(EntryNames(folder), Names{"patch_vx.zpk"});
}

// Only a file is a backup already: the copy leaves it alone, even one that appears while the
// copy runs. Anything else there is the user's to move; the copy refuses, naming it.
TEST_F(AtomicCopyTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const std::string backup = folder_ / "NORMAL_patch_vx.zpk";
    const std::string file = folder_ / "file.zpk";
    struct Case {
        std::string what;
        std::function<bool()> make;  // false where this system cannot make it
        Step at;
        const char* refusal;  // nullptr: answers false
    };
    // Where links are made but not shown as such (Wine), they cannot be tested.
    const auto link = [&](const wchar_t* to) {
        const Names names = EntryNames(folder_.Utf8());
        return CreateSymbolicLinkW(ApiPath(backup).c_str(), to, 0) &&
               (Attributes(backup) & FILE_ATTRIBUTE_REPARSE_POINT) &&
               EntryNames(folder_.Utf8()).size() == names.size() + 1;
    };
    const std::vector<Case> cases{
        {"a hidden file",
         [&] {
             return WriteFile(backup, "kept") &&
                    SetFileAttributesW(ApiPath(backup).c_str(), FILE_ATTRIBUTE_HIDDEN);
         },
         Step::None, nullptr},
        {"a file that appears during the copy", [] { return true; }, Step::Copy, nullptr},
        {"a file that appears during the flush", [] { return true; }, Step::Flush, nullptr},
        {"a link to a file", [&] { return WriteFile(file, "kept") && link(L"file.zpk"); },
         Step::None, nullptr},
        {"a folder", [&] { return CreateDirectoryW(ApiPath(backup).c_str(), nullptr) != 0; },
         Step::None, "A folder stands where the backup"},
        {"a dangling link", [&] { return link(L"gone.zpk"); }, Step::None,
         "Something that is not a file stands where the backup"}};
    for (const auto& [what, make, at, refusal] : cases) {
        SCOPED_TRACE(what);
        steps_ = {};
        steps_.at = at;
        steps_.failures = 0;
        steps_.meanwhile = [&] { WriteFile(backup, "kept"); };
        if (!make()) {
            std::cout << "[ skipped  ] " << what << ": this system cannot make it\n";
            continue;
        }
        const auto before = EntryNames(folder_.Utf8());
        const auto error =
            test::FailureOf([&] { EXPECT_FALSE(platform_.CopyFileIfAbsent(live_, backup)); });
        ASSERT_EQ(error.has_value(), refusal != nullptr);
        if (error) {
            EXPECT_EQ(error->Number(), ERROR_ALREADY_EXISTS);
            EXPECT_NE(error->Text().find(refusal), std::string::npos) << error->Text();
            EXPECT_EQ(error->Path(), backup);
        } else {
            EXPECT_EQ(ReadFile(backup), "kept");
        }
        EXPECT_EQ(steps_.moves, at == Step::None ? 0 : 1);
        if (at != Step::None) {
            DeleteFileW(ApiPath(backup).c_str());  // it was not there before, but appeared
        }
        EXPECT_EQ(EntryNames(folder_.Utf8()), before) << "a temporary file was left";
        for (const auto& path : {ApiPath(backup), ApiPath(file)}) {
            if (!DeleteFileW(path.c_str())) {
                RemoveDirectoryW(path.c_str());
            }
        }
    }
    steps_ = {};
    EXPECT_TRUE(platform_.CopyFileIfAbsent(live_, backup));
    EXPECT_EQ(ReadFile(backup), "the game's own archive");
}

TEST_F(AtomicCopyTest, RemoveLeftoversRemovesOnlyTheTemporaryFilesEitherVersionWrote) {
    Names kept = {".patchkeeper-0123.tmp",
                  ".patchkeeper-0123456789abcdeg.tmp",
                  ".patchkeeper-0123456789abcdef.tmp.zpk",
                  "patchkeeper-0123456789abcdef.tmp",
                  "mod.zpk",
                  "patch_vx.zpk"};
    for (const auto& name : kept) {
        WriteFile(folder_ / name, "keep");
    }
    for (const char* name :
         {".patchkeeper-0123456789abcdef.tmp", ".patchkeeper-FEDCBA9876543210.tmp",
          ".patchkeeper-aBcDeF0123456789.tmp"}) {
        WriteFile(folder_ / name, "part");
        SetAttributes(folder_ / name, FILE_ATTRIBUTE_READONLY);
    }
    platform_.RemoveLeftovers(folder_.Utf8());
    platform_.RemoveLeftovers(folder_ / "no such folder");  // and never throws
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(EntryNames(folder_.Utf8()), kept);
}

}  // namespace
}  // namespace vx::win32
