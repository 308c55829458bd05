// The Windows services on real files and a scratch registry key: lookup, size and make folder,
// the switch and backup copies (what the destination holds afterwards, what the user is told,
// and that no temporary file outlives a copy), the registry store and today's date. The services
// stand on a scratch folder holding a live archive and a mod, a scratch registry key, and file
// steps that fail on request.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"
#include "platform/windows-services/Win32Files.h"
#include "platform/windows-services/Win32SystemInfo.h"
#include "state/SettingsLayout.h"
#include "support/Failure.h"
#include "support/RecordingProgress.h"
#include "support/TempFolder.h"

namespace vx::windows {
namespace {

using test::Snapshot;
using test::WriteFile;
enum class Step { None, Copy, Flush, Move };

// The system's file steps, of which the one at `failAt` fails `failures` times with `failure`:
// the copy and the flush after doing their work (a complete temporary file is left to clean
// up), the rename instead. `meanwhile` runs as that step is reached.
struct FaultySteps : FileSteps {
    void Copy(const std::wstring& source, const std::wstring& target, bool unbuffered,
              CopyProgress& progress) override {
        FileSteps::Copy(source, target, unbuffered, progress);
        Reached(Step::Copy);
    }
    void Flush(const std::wstring& file) override {
        FileSteps::Flush(file);
        Reached(Step::Flush);
    }
    void Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        Reached(Step::Move);
        FileSteps::Move(from, to, replace);
    }
    void Reached(Step step) {
        if (step == failAt && meanwhile) {
            meanwhile();
        }
        if (step == failAt && failures-- > 0) {
            throw SystemError(failure);
        }
    }

    Step failAt = Step::None;
    DWORD failure = ERROR_DISK_FULL;
    int failures = INT_MAX;
    std::function<void()> meanwhile;
};

// A file holding `bytes`, with `attributes`.
void MakeFile(const std::string& path, DWORD attributes, const std::string& bytes = "") {
    WriteFile(path, bytes);
    SetFileAttributesW(ApiPath(path).c_str(), attributes);
}

class ServicesTest : public ::testing::Test {
  protected:
    ServicesTest() {
        WriteFile(live_, "the game's own archive");
        WriteFile(mod_, modBytes_);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str()); }

    test::TempFolder folder_;
    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod-ä.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
    std::string root_ = "Software\\VexmoorPatchkeeperTest-" + std::to_string(GetCurrentProcessId());
    FaultySteps steps_;
    test::RecordingProgress progress_;
    Win32Files files_{steps_};
};

TEST_F(ServicesTest, LookupSizeFoldersPathsAndLeftoversFollowTheSystemsRules) {
    // Leftovers go even read-only; the rule for their names is shared and tested elsewhere.
    WriteFile(folder_ / ".patchkeeper-0123456789abcdef.tmp.zpk", "keep");
    const auto before = Snapshot(folder_.Utf8());
    MakeFile(folder_ / ".patchkeeper-aBcDeF0123456789.tmp", FILE_ATTRIBUTE_READONLY);
    files_.RemoveLeftovers(folder_.Utf8());
    files_.RemoveLeftovers(folder_ / "no such folder");  // and never throws
    EXPECT_EQ(Snapshot(folder_.Utf8()), before);
    // Any case finds the stored name; only the lookup of files and folders finds a folder;
    // nothing missing, hidden or a pattern is found.
    files_.MakeFolder(folder_ / "Mods");
    MakeFile(folder_ / "hidden.zpk", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(folder_ / "system.zpk", FILE_ATTRIBUTE_SYSTEM);
    const std::pair<const char*, const char*> lookups[] = {{"PATCH_VX.ZPK", "patch_vx.zpk"},
                                                           {"MOD-Ä.ZPK", "mod-ä.zpk"},
                                                           {"mods", "Mods"},
                                                           {"gone.zpk", ""},
                                                           {"hidden.zpk", ""},
                                                           {"system.zpk", ""},
                                                           {"*.zpk", ""},
                                                           {"mod-?.zpk", ""}};
    for (const auto& [typed, found] : lookups) {
        EXPECT_EQ(files_.LookupEntry(folder_ / typed, EntryKind::FilesAndFolders), found) << typed;
    }
    EXPECT_EQ(files_.LookupEntry(folder_ / "MOD-Ä.ZPK", EntryKind::PlainFiles), "mod-ä.zpk");
    EXPECT_EQ(files_.LookupEntry(folder_ / "mods", EntryKind::PlainFiles), "");
    EXPECT_TRUE(files_.PathsMatchIgnoringCase("C:\\Mods\\mod-ä.zpk", "c:\\MODS\\MOD-Ä.ZPK"));
    // Sizes past 4 GiB; failures with the system's number ("Mods" is there already).
    const std::int64_t size = (std::int64_t{5} << 30) + 3;
    std::error_code noRoom;  // the file is sparse where the disk allows
    std::filesystem::resize_file(test::NativePath(live_), size, noRoom);
    EXPECT_TRUE(noRoom || files_.FileSize(folder_ / "PATCH_VX.zpk") == size);
    for (const std::string& notAFile : {folder_ / "missing.zpk", folder_.Utf8()}) {
        EXPECT_EQ(test::ErrorOf([&] { files_.FileSize(notAFile); }).Number(), ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(test::ErrorOf([&] { files_.MakeFolder(folder_ / "mods"); }).Number(),
              ERROR_ALREADY_EXISTS);
}

// Every failure leaves the live archive (read-only here) as it was, no temporary file, and
// the error says what to do about it and names the file concerned: of two files, the one
// another program holds open (sharing nothing, as the running game holds its archive). A
// rename refused for a moment, as a virus scanner causes, is no failure, and a switch keeps
// the live archive's attributes.
TEST_F(ServicesTest, EachFailedSwitchChangesNothingAndSaysWhatToDo) {
    const char* unwritable = std::getenv("VX_UNWRITABLE_GAME_FOLDER");  // see CMakeLists.txt
    const std::string gone = folder_ / "gone.zpk";
    struct Case {
        Step failing;
        std::string source, held;  // the file another program holds open, if any
        DWORD number;
        const char* text;  // a part of the error's text
        std::string path;  // the file the error names, the live archive when in its folder
    };
    std::vector<Case> cases{{Step::None, gone, "", ERROR_FILE_NOT_FOUND, "", gone},
                            {Step::Copy, mod_, "", ERROR_DISK_FULL, "", live_},
                            {Step::Flush, mod_, "", ERROR_DISK_FULL, "", live_},
                            {Step::Move, mod_, "", ERROR_DISK_FULL, "", live_},
                            {Step::None, mod_, mod_, ERROR_SHARING_VIOLATION, "in use", mod_},
                            {Step::None, mod_, live_, ERROR_SHARING_VIOLATION, "in use", live_}};
    if (unwritable != nullptr) {  // under Wine no test can take away its own right to write
        const std::string live = std::string(unwritable) + "\\patch_vx.zpk";
        cases.push_back({Step::None, mod_, "", ERROR_ACCESS_DENIED, "administrator", live});
    }
    SetFileAttributesW(ApiPath(mod_).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(ApiPath(live_).c_str(), FILE_ATTRIBUTE_READONLY);
    for (const Case& row : cases) {
        const std::string live = row.path.ends_with("\\patch_vx.zpk") ? row.path : live_;
        steps_.failAt = row.failing;
        const auto before = Snapshot(folder_.Utf8());  // an unwritable folder stays as it is
        const HANDLE holder = CreateFileW(ToUtf16(row.held).c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        const Error error =
            test::ErrorOf([&] { files_.ReplaceWithCopy(row.source, live, progress_); });
        CloseHandle(holder);
        EXPECT_EQ(error.Number(), static_cast<int>(row.number)) << error.what();
        EXPECT_NE(error.Text().find(row.text), std::string::npos) << error.Text();
        EXPECT_EQ(error.Path(), row.path);
        EXPECT_EQ(files_.HeldByAnotherProgram(error), !row.held.empty()) << row.path;
        EXPECT_EQ(Snapshot(folder_.Utf8()), before);
    }
    steps_.failAt = Step::Move;
    steps_.failure = ERROR_SHARING_VIOLATION;
    steps_.failures = 2;
    files_.ReplaceWithCopy(mod_, live_, progress_);
    EXPECT_EQ(GetFileAttributesW(ApiPath(live_).c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE},
              DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_EQ(test::ReadFile(live_), modBytes_);
}

// One file under other spellings is one file, and a copy of it is another; switching to it
// through another spelling writes nothing (a copy would fail here). Wine reaches the whole
// Unix file system, drive C: included, through Z:.
TEST_F(ServicesTest, OneFileSpeltAnotherWayIsTheSameFileAndIsNeverCopiedOntoItself) {
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(ToUtf16(mod_).c_str(), shortName.data(), MAX_PATH));
    std::string slashed = mod_;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    std::vector<std::string> spellings{folder_ / "MOD-Ä.ZPK", ToUtf8(shortName), slashed};
    using UnixName = char*(CDECL*)(const wchar_t*);
    if (const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")))) {
        char* name = unixName(ToUtf16(mod_).c_str());
        spellings.push_back("Z:" + std::string(name));
        std::replace(spellings.back().begin(), spellings.back().end(), '/', '\\');
        HeapFree(GetProcessHeap(), 0, name);
    }
    WriteFile(folder_ / "copy.zpk", modBytes_);
    const auto identity = files_.IdentifyFile(mod_);
    ASSERT_TRUE(identity && identity != files_.IdentifyFile(folder_ / "copy.zpk"));
    steps_.failAt = Step::Copy;
    for (const std::string& spelling : spellings) {
        EXPECT_EQ(files_.IdentifyFile(spelling), identity) << spelling;
        EXPECT_NO_THROW(files_.ReplaceWithCopy(spelling, mod_, progress_)) << spelling;
        EXPECT_NO_THROW(files_.ReplaceWithCopy(mod_, spelling, progress_)) << spelling;
    }
}

// Only a file is a backup already: the copy leaves it alone, even one that appears while the
// copy runs, writing nothing. A folder there is the user's to move; the copy refuses, naming it.
TEST_F(ServicesTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const std::string backup = folder_ / "NORMAL_patch_vx.zpk";
    steps_.failAt = Step::Flush;
    steps_.failures = 0;
    steps_.meanwhile = [&] { MakeFile(backup, FILE_ATTRIBUTE_HIDDEN, "kept"); };
    EXPECT_FALSE(files_.CopyFileIfAbsent(live_, backup, progress_));
    auto before = Snapshot(folder_.Utf8());
    EXPECT_EQ(test::ReadFile(backup), "kept");
    EXPECT_FALSE(files_.CopyFileIfAbsent(live_, backup, progress_));
    EXPECT_EQ(Snapshot(folder_.Utf8()), before);
    SetFileAttributesW(ApiPath(backup).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(ApiPath(backup).c_str());
    CreateDirectoryW(ApiPath(backup).c_str(), nullptr);
    before = Snapshot(folder_.Utf8());
    const Error error = test::ErrorOf([&] { files_.CopyFileIfAbsent(live_, backup, progress_); });
    EXPECT_EQ(error.Number(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(error.Text().starts_with("A folder stands where the backup")) << error.Text();
    EXPECT_EQ(error.Path(), backup);
    EXPECT_EQ(Snapshot(folder_.Utf8()), before);
}

// A copy reports from nothing to its whole size, and stopped at its start or its end it leaves
// the destination as it was and no temporary file.
TEST_F(ServicesTest, ACopyReportsItsProgressAndStopsWhenToldLeavingNothingBehind) {
    const auto size = static_cast<std::int64_t>(modBytes_.size());
    const auto before = Snapshot(folder_.Utf8());
    for (const std::int64_t stopFrom : {std::int64_t{0}, size}) {
        test::RecordingProgress stopped;
        stopped.stopFrom = stopFrom;
        EXPECT_THROW(files_.ReplaceWithCopy(mod_, live_, stopped), CopyCancelled);
        EXPECT_FALSE(stopped.finishing) << stopFrom;
        EXPECT_EQ(Snapshot(folder_.Utf8()), before) << stopFrom;
    }
    files_.ReplaceWithCopy(mod_, live_, progress_);
    EXPECT_EQ((std::vector{progress_.done.front(), progress_.done.back(), progress_.total}),
              (std::vector{std::int64_t{0}, size, size}));
    EXPECT_TRUE(progress_.finishing);
}

// Values are REG_SZ text, under Visual Basic's SaveSetting key (spelled out
// here: a slip in the program's own constant must show), so that the remembered folder and list
// of earlier versions stay valid.
TEST_F(ServicesTest, StoresRegSzValuesThatRoundTripLongShrinkingAndAbsent) {
    EXPECT_EQ(kProgramSettingsRoot, "Software\\VB and VBA Program Settings");
    RegistrySettings settings{root_, settings::kAppName};
    const std::string nonAscii = "D:\\Spiele\\Ärger\\日本語\\😀.zpk";
    settings.Save("mods", "1", nonAscii);
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw;
    RegGetValueW(HKEY_CURRENT_USER, ToUtf16(root_ + "\\Vexmoor Patchkeeper\\mods").c_str(), L"1",
                 RRF_RT_REG_SZ, nullptr, raw, &bytes);
    EXPECT_EQ(raw, ToUtf16(nonAscii));
    for (const std::string& value : {std::string(4000, 'x'), std::string("C:\\Ä"), std::string()}) {
        settings.Save("settings", "vxpath", value);
        EXPECT_EQ(settings.Get("settings", "vxpath"), value);
    }
    EXPECT_EQ(settings.Get("settings", "mods"), std::nullopt);
    const DWORD number = 3;  // a value that is not text is an error naming the key
    RegSetKeyValueW(HKEY_CURRENT_USER, ToUtf16(root_ + "\\Vexmoor Patchkeeper\\settings").c_str(),
                    L"mods", REG_DWORD, &number, sizeof number);
    const Error error = test::ErrorOf([&] { settings.Get("settings", "mods"); });
    EXPECT_NE(error.Text().find("not as text"), std::string::npos) << error.Text();
    EXPECT_NE(error.Path().find("Vexmoor Patchkeeper\\settings\\mods"), std::string::npos);
}

TEST(Win32SystemInfoTest, TodayIsYearMonthDay) {
    EXPECT_TRUE(std::regex_match(Win32SystemInfo().LocalDate(), std::regex(R"(\d{4}-\d\d-\d\d)")));
}

}  // namespace
}  // namespace vx::windows
