// The switch and the backup copy on real files: what the destination holds afterwards, what
// the user is told, and that no temporary file outlives a copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Win32Platform.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

using test::Attributes;
using test::EntryNames;
using test::ReadBytes;
using test::SetAttributes;
using test::WriteBytes;

enum class Step { None, Copy, Flush, Move };

// The system's steps, any one of which can be made to fail: the copy and the flush after
// doing their work (a complete temporary file is left to clean up), the rename instead.
class FaultySteps : public FileSteps {
  public:
    DWORD Copy(const std::wstring& source, const std::wstring& target, bool unbuffered) override {
        const DWORD real = FileSteps::Copy(source, target, unbuffered);
        return real != ERROR_SUCCESS ? real : Injected(Step::Copy);
    }
    DWORD Flush(const std::wstring& file) override {
        const DWORD real = FileSteps::Flush(file);
        return real != ERROR_SUCCESS ? real : Injected(Step::Flush);
    }
    DWORD Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        ++moves;
        if (beforeMove) {
            beforeMove();
        }
        const DWORD injected = Injected(Step::Move);
        return injected != ERROR_SUCCESS ? injected : FileSteps::Move(from, to, replace);
    }

    Step failAt = Step::None;
    DWORD failure = ERROR_DISK_FULL;
    int failuresLeft = INT_MAX;
    int calls = 0;
    int moves = 0;
    std::function<void()> beforeMove;

  private:
    DWORD Injected(Step step) {
        ++calls;
        if (step != failAt || failuresLeft == 0) {
            return ERROR_SUCCESS;
        }
        --failuresLeft;
        return failure;
    }
};

class AtomicCopyTest : public ::testing::Test {
  protected:
    AtomicCopyTest() {
        WriteBytes(live_, "the game's own archive");
        WriteBytes(mod_, modBytes_);
    }

    void ExpectNoTemporaryFile() {
        EXPECT_EQ(EntryNames(folder_.Path()),
                  (std::vector<std::string>{"mod.zpk", "patch_vx.zpk"}));
    }

    Error SwitchFails() { return SwitchFails(live_); }
    Error SwitchFails(const std::string& live) {
        try {
            platform_.ReplaceFile(mod_, live);
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "the switch succeeded";
        return Error(0, "");
    }

    test::TempFolder folder_;
    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
    FaultySteps* steps_ = new FaultySteps;
    Win32Platform platform_{kProgramSettingsRoot, std::unique_ptr<FileSteps>(steps_)};
};

TEST_F(AtomicCopyTest, SwitchCopiesByteForByteAndKeepsTheLiveArchivesAttributes) {
    SetAttributes(mod_, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetAttributes(live_, FILE_ATTRIBUTE_READONLY);
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadBytes(live_), modBytes_);
    EXPECT_TRUE(Attributes(live_) & FILE_ATTRIBUTE_READONLY) << "the live archive was read-only";
    EXPECT_FALSE(Attributes(live_) & FILE_ATTRIBUTE_HIDDEN) << "the mod's attributes came along";
    ExpectNoTemporaryFile();
}

TEST_F(AtomicCopyTest, SameFileUnderAnotherSpellingIsLeftAlone) {
    for (const std::string& source :
         {live_, folder_.Path() + "\\\\PATCH_VX.ZPK", folder_.Path() + "/./patch_vx.zpk"}) {
        platform_.ReplaceFile(source, live_);
    }
    EXPECT_EQ(steps_->calls, 0);
    EXPECT_EQ(ReadBytes(live_), "the game's own archive");
}

TEST_F(AtomicCopyTest, ArchiveHeldOpenByTheGameIsLeftIntactWithPlainWords) {
    UniqueFile game(CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(game);
    const Error error = SwitchFails();
    EXPECT_TRUE(error.Number() == ERROR_SHARING_VIOLATION || error.Number() == ERROR_ACCESS_DENIED)
        << error.what();
    EXPECT_NE(error.Text().find("Close Vexmoor"), std::string::npos) << error.Text();
    EXPECT_EQ(error.Path(), live_);
    EXPECT_EQ(steps_->moves, 5) << "a refused rename is tried a few times";
    game.Reset();
    EXPECT_EQ(ReadBytes(live_), "the game's own archive");
    ExpectNoTemporaryFile();
}

class InjectedFault : public AtomicCopyTest, public ::testing::WithParamInterface<Step> {};

TEST_P(InjectedFault, LeavesTheLiveArchiveAsItWasAndNoTemporaryFile) {
    SetAttributes(live_, FILE_ATTRIBUTE_READONLY);
    steps_->failAt = GetParam();
    EXPECT_EQ(SwitchFails().Number(), ERROR_DISK_FULL);
    EXPECT_EQ(ReadBytes(live_), "the game's own archive");
    EXPECT_TRUE(Attributes(live_) & FILE_ATTRIBUTE_READONLY);
    ExpectNoTemporaryFile();
}

INSTANTIATE_TEST_SUITE_P(EachStep, InjectedFault,
                         ::testing::Values(Step::Copy, Step::Flush, Step::Move));

TEST_F(AtomicCopyTest, ErrorsSayWhatToDo) {
    // A rename refused for a moment, as a virus scanner causes, is no failure.
    steps_->failAt = Step::Move;
    steps_->failure = ERROR_SHARING_VIOLATION;
    steps_->failuresLeft = 2;
    platform_.ReplaceFile(mod_, live_);
    EXPECT_EQ(ReadBytes(live_), modBytes_);

    // A folder the user may not write, such as one under Program Files.
    steps_->failAt = Step::Copy;
    steps_->failure = ERROR_ACCESS_DENIED;
    steps_->failuresLeft = 1;
    const Error denied = SwitchFails();
    EXPECT_EQ(denied.Number(), ERROR_ACCESS_DENIED);
    EXPECT_NE(denied.Text().find("administrator"), std::string::npos) << denied.Text();
    ExpectNoTemporaryFile();

    // The source gone since it was listed: the system's words, naming that file.
    DeleteFileW(ApiPath(mod_).c_str());
    const Error gone = SwitchFails();
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
    const std::string before = ReadBytes(live);
    ASSERT_FALSE(before.empty());

    const Error error = SwitchFails(live);
    EXPECT_EQ(error.Number(), ERROR_ACCESS_DENIED) << error.what();
    EXPECT_NE(error.Text().find("administrator"), std::string::npos) << error.Text();
    EXPECT_EQ(error.Path(), live);
    EXPECT_EQ(ReadBytes(live), before);
    EXPECT_EQ(EntryNames(folder), std::vector<std::string>{"patch_vx.zpk"});
}

TEST_F(AtomicCopyTest, CopyIfAbsentNeverOverwrites) {
    const std::string backup = folder_ / "NORMAL_patch_vx.zpk";
    WriteBytes(backup, "first backup");
    SetAttributes(backup, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(platform_.CopyFileIfAbsent(live_, backup));
    EXPECT_EQ(steps_->calls, 0);
    SetAttributes(backup, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(ApiPath(backup).c_str());

    // Something appears at the destination while the copy runs.
    steps_->beforeMove = [&] { WriteBytes(backup, "written meanwhile"); };
    EXPECT_FALSE(platform_.CopyFileIfAbsent(live_, backup));
    EXPECT_EQ(ReadBytes(backup), "written meanwhile");
    DeleteFileW(ApiPath(backup).c_str());
    ExpectNoTemporaryFile();

    steps_->beforeMove = nullptr;
    EXPECT_TRUE(platform_.CopyFileIfAbsent(live_, backup));
    EXPECT_EQ(ReadBytes(backup), "the game's own archive");
}

TEST_F(AtomicCopyTest, RemoveLeftoversRemovesOnlyItsOwnTemporaryFiles) {
    std::vector<std::string> kept = {".patchkeeper-0123.tmp",
                                     ".patchkeeper-0123456789abcdeg.tmp",
                                     ".patchkeeper-0123456789abcdef.tmp.zpk",
                                     "patchkeeper-0123456789abcdef.tmp",
                                     "mod.zpk",
                                     "patch_vx.zpk"};
    for (const auto& name : kept) {
        WriteBytes(folder_ / name, "keep");
    }
    WriteBytes(folder_ / ".patchkeeper-0123456789abcdef.tmp", "part");
    WriteBytes(folder_ / ".patchkeeper-FEDCBA9876543210.tmp", "part");
    SetAttributes(folder_ / ".patchkeeper-0123456789abcdef.tmp", FILE_ATTRIBUTE_READONLY);

    platform_.RemoveLeftovers(folder_.Path());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(EntryNames(folder_.Path()), kept);
    platform_.RemoveLeftovers(folder_ / "no such folder");  // and never throws
}

}  // namespace
}  // namespace vx::win32
