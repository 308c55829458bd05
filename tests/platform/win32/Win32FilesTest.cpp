// Entry lookup, file size and make folder on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Win32Platform.h"
#include "support/Failure.h"
#include "support/TempFolder.h"

namespace vx::win32 {
namespace {

using test::ErrorOf;
using test::WriteFile;

class Win32FilesTest : public ::testing::Test {
  protected:
    void Make(const std::string& name, DWORD attributes, bool folder = false) {
        const std::wstring path = ApiPath(folder_ / name);
        ASSERT_TRUE(folder ? CreateDirectoryW(path.c_str(), nullptr)
                           : WriteFile(folder_ / name, ""));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
    }

    test::TempFolder folder_;
    Win32Platform platform_;  // the files only; the registry is left alone
};

TEST_F(Win32FilesTest, LookupMatchesAnyCaseAnswersTheStoredNameAndLeavesOutWhatItShould) {
    Make("Vexmoor.exe", FILE_ATTRIBUTE_NORMAL);
    Make("plain.zpk", FILE_ATTRIBUTE_READONLY);
    Make("hidden.zpk", FILE_ATTRIBUTE_HIDDEN);
    Make("system.zpk", FILE_ATTRIBUTE_SYSTEM);
    Make("Mods", FILE_ATTRIBUTE_NORMAL, true);
    Make("secret", FILE_ATTRIBUTE_HIDDEN, true);
    const std::string& root = folder_.Utf8();
    using Row = std::tuple<std::string, std::string, std::string>;  // path, plain, and folders
    for (const auto& [path, plain, folders] :
         std::vector<Row>{{root + "\\VEXMOOR.EXE", "Vexmoor.exe", "Vexmoor.exe"},
                          // A folder typed with a trailing separator doubles it; "/" separates too.
                          {root + "\\\\vexmoor.exe", "Vexmoor.exe", "Vexmoor.exe"},
                          {root + "/VexMoor.exe", "Vexmoor.exe", "Vexmoor.exe"},
                          {root + "\\plain.zpk", "plain.zpk", "plain.zpk"},
                          {root + "\\mods", "", "Mods"},
                          {root + "\\patch_vx.zpk", "", ""},
                          {root + "\\gone\\vexmoor.exe", "", ""},
                          {root + "\\secret", "", ""},
                          {root + "\\hidden.zpk", "", ""},
                          {root + "\\system.zpk", "", ""},
                          {root + "\\*.zpk", "", ""},
                          {root + "\\plain.?pk", "", ""}}) {
        EXPECT_EQ(platform_.LookupEntry(path, EntryKind::PlainFiles), plain) << path;
        EXPECT_EQ(platform_.LookupEntry(path, EntryKind::FilesAndFolders), folders) << path;
    }
}

TEST_F(Win32FilesTest, FailuresCarryTheSystemsNumberAndText) {
    WriteFile(folder_ / "odd.zpk", std::string(70001, '\0'));
    EXPECT_EQ(platform_.FileSize(folder_ / "ODD.zpk"), 70001);
    platform_.MakeFolder(folder_ / "mods");
    for (const auto& [action, number] : std::vector<std::pair<std::function<void()>, DWORD>>{
             {[&] { platform_.FileSize(folder_ / "missing.zpk"); }, ERROR_FILE_NOT_FOUND},
             {[&] { platform_.FileSize(""); }, ERROR_PATH_NOT_FOUND},
             {[&] { platform_.FileSize(folder_.Utf8()); }, ERROR_FILE_NOT_FOUND},
             {[&] { platform_.MakeFolder(folder_ / "mods"); }, ERROR_ALREADY_EXISTS},
             {[&] { platform_.MakeFolder(folder_ / "no\\mods"); }, ERROR_PATH_NOT_FOUND}}) {
        const Error error = ErrorOf(action);
        EXPECT_EQ(error.Number(), static_cast<int>(number)) << error.what();
        EXPECT_FALSE(error.Text().empty());
    }
}

TEST_F(Win32FilesTest, FileSizeBeyondFourGiB) {
    const std::int64_t size = (std::int64_t{5} << 30) + 3;
    {
        UniqueFile file(CreateFileW(ApiPath(folder_ / "huge.zpk").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD unused = 0;
        LARGE_INTEGER end{};
        end.QuadPart = size;
        if (!DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused,
                             nullptr) ||
            !SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())) {
            GTEST_SKIP() << "no 5 GiB sparse file here: " << GetLastError();
        }
    }
    EXPECT_EQ(platform_.FileSize(folder_ / "huge.zpk"), size);
}

// Wine takes long paths without the \\?\ form that Windows needs, so the files cannot show
// that the form is given; this does.
TEST(ApiPathTest, GivesAbsolutePathsTheLongFormAfterTheUsualRules) {
    for (const auto& [path, api] : std::vector<std::pair<std::string, std::wstring>>{
             {"C:\\Games/Vexmoor\\\\patch_vx.zpk", L"\\\\?\\C:\\Games\\Vexmoor\\patch_vx.zpk"},
             {"C:\\Games\\.\\mods\\..\\patch_vx.zpk", L"\\\\?\\C:\\Games\\patch_vx.zpk"},
             {"\\\\server\\share\\patch_vx.zpk", L"\\\\?\\UNC\\server\\share\\patch_vx.zpk"},
             {"\\\\?\\C:\\Games", L"\\\\?\\C:\\Games"},
             {"mods/patch_vx.zpk", L"mods/patch_vx.zpk"}}) {
        EXPECT_EQ(ApiPath(path), api) << path;
    }
}

TEST_F(Win32FilesTest, LongNonAsciiPathsWorkForEveryService) {
    std::string deep = folder_.Utf8();
    for (const char* level : {"Ärger-", "日本語-", "Ωmega-", "vexmoor-"}) {
        deep += "\\" + std::string(level) + std::string(60, 'd');
        platform_.MakeFolder(deep);
    }
    ASSERT_GT(ApiPath(deep).size(), static_cast<std::size_t>(MAX_PATH));
    WriteFile(folder_ / "source.zpk", "archive bytes");
    const std::string archive = deep + "\\Pätch_ВКС.zpk";
    EXPECT_TRUE(platform_.CopyFileIfAbsent(folder_ / "source.zpk", archive));
    EXPECT_EQ(platform_.FileSize(archive), 13);
    EXPECT_EQ(platform_.LookupEntry(deep + "\\pätch_вкс.ZPK", EntryKind::PlainFiles),
              "Pätch_ВКС.zpk");
    WriteFile(folder_ / "source.zpk", "another archive");
    platform_.ReplaceFile(folder_ / "source.zpk", archive);
    EXPECT_EQ(test::ReadFile(archive), "another archive");
    EXPECT_EQ(test::EntryNames(deep), std::vector<std::string>{"Pätch_ВКС.zpk"});
}

}  // namespace
}  // namespace vx::win32
