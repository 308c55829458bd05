// Entry lookup, file size and make folder on real files in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

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
using test::SetAttributes;
using test::TempFolder;
using test::WriteBytes;

int NumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

class Win32FilesTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    Win32Platform platform_{"Software\\VexmoorPatchkeeperTest\\unused"};
};

TEST_F(Win32FilesTest, LookupMatchesAnyCaseAndAnswersTheStoredName) {
    WriteBytes(folder_ / "Vexmoor.exe", "MZ");
    for (EntryKind kind : {EntryKind::PlainFiles, EntryKind::FilesAndFolders}) {
        EXPECT_EQ(platform_.LookupEntry(folder_ / "VEXMOOR.EXE", kind), "Vexmoor.exe");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "vexmoor.exe", kind), "Vexmoor.exe");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "patch_vx.zpk", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "gone\\vexmoor.exe", kind), "");
    }
    // A typed folder with a trailing separator doubles it, and "/" is a separator too.
    EXPECT_EQ(platform_.LookupEntry(folder_.Path() + "\\\\vexmoor.exe", EntryKind::PlainFiles),
              "Vexmoor.exe");
    EXPECT_EQ(platform_.LookupEntry(folder_.Path() + "/VexMoor.exe", EntryKind::PlainFiles),
              "Vexmoor.exe");
}

TEST_F(Win32FilesTest, LookupKindsLeaveOutHiddenSystemAndFolders) {
    ASSERT_TRUE(CreateDirectoryW(ApiPath(folder_ / "Mods").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(ApiPath(folder_ / "secret").c_str(), nullptr));
    SetAttributes(folder_ / "secret", FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(folder_ / "hidden.zpk", "h");
    SetAttributes(folder_ / "hidden.zpk", FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(folder_ / "system.zpk", "s");
    SetAttributes(folder_ / "system.zpk", FILE_ATTRIBUTE_SYSTEM);
    WriteBytes(folder_ / "plain.zpk", "p");
    SetAttributes(folder_ / "plain.zpk", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

    EXPECT_EQ(platform_.LookupEntry(folder_ / "mods", EntryKind::PlainFiles), "");
    EXPECT_EQ(platform_.LookupEntry(folder_ / "mods", EntryKind::FilesAndFolders), "Mods");
    EXPECT_EQ(platform_.LookupEntry(folder_ / "plain.zpk", EntryKind::PlainFiles), "plain.zpk");
    for (EntryKind kind : {EntryKind::PlainFiles, EntryKind::FilesAndFolders}) {
        EXPECT_EQ(platform_.LookupEntry(folder_ / "secret", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "hidden.zpk", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "system.zpk", kind), "");
        // Wildcards are not a lookup: they match nothing, though plain.zpk would fit them.
        EXPECT_EQ(platform_.LookupEntry(folder_ / "*.zpk", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "plain.?pk", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "plain<", kind), "");
    }
}

TEST_F(Win32FilesTest, FileSizeIsExactAndFailsForMissingEmptyAndFolders) {
    WriteBytes(folder_ / "empty.zpk", "");
    WriteBytes(folder_ / "odd.zpk", std::string(70001, '\0'));
    EXPECT_EQ(platform_.FileSize(folder_ / "empty.zpk"), 0);
    EXPECT_EQ(platform_.FileSize(folder_ / "ODD.zpk"), 70001);

    EXPECT_EQ(NumberOf([&] { platform_.FileSize(folder_ / "missing.zpk"); }), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(NumberOf([&] { platform_.FileSize(""); }), 0);
    EXPECT_NE(NumberOf([&] { platform_.FileSize(folder_.Path()); }), 0);
    try {
        platform_.FileSize(folder_ / "missing.zpk");
    } catch (const Error& error) {
        EXPECT_FALSE(error.Text().empty());
        EXPECT_EQ(error.Path(), folder_ / "missing.zpk");
    }
}

TEST_F(Win32FilesTest, FileSizeBeyondFourGiB) {
    const std::string path = folder_ / "huge.zpk";
    {
        UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD unused = 0;
        if (!DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused,
                             nullptr)) {
            GTEST_SKIP() << "no sparse files here, and 5 GiB of real data is too much";
        }
        LARGE_INTEGER end{};
        end.QuadPart = (std::int64_t{5} << 30) + 3;
        if (!SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())) {
            GTEST_SKIP() << "cannot make a 5 GiB sparse file: " << GetLastError();
        }
    }
    EXPECT_EQ(platform_.FileSize(path), (std::int64_t{5} << 30) + 3);
}

// Wine takes long paths without the \\?\ form that Windows needs, so the files below cannot
// show that form is given; this does.
TEST(ApiPathTest, GivesAbsolutePathsTheLongFormAfterTheUsualRules) {
    EXPECT_EQ(ApiPath("C:\\Games/Vexmoor\\\\patch_vx.zpk"),
              L"\\\\?\\C:\\Games\\Vexmoor\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("C:\\Games\\.\\mods\\..\\patch_vx.zpk"), L"\\\\?\\C:\\Games\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("\\\\server\\share\\patch_vx.zpk"),
              L"\\\\?\\UNC\\server\\share\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("\\\\?\\C:\\Games"), L"\\\\?\\C:\\Games");
    EXPECT_EQ(ApiPath("mods/patch_vx.zpk"), L"mods/patch_vx.zpk");
}

TEST_F(Win32FilesTest, LongNonAsciiPathsWorkForEveryService) {
    // Four levels of 60 characters and more: well past MAX_PATH, as the API counts.
    std::string deep = folder_.Path();
    for (const char* level : {"Ärger-", "日本語-", "Ωmega-", "vexmoor-"}) {
        deep += "\\" + std::string(level) + std::string(60, 'd');
        platform_.MakeFolder(deep);
    }
    ASSERT_GT(ApiPath(deep).size(), static_cast<std::size_t>(MAX_PATH));
    WriteBytes(folder_ / "source.zpk", "archive bytes");

    const std::string archive = deep + "\\Pätch_ВКС.zpk";
    EXPECT_TRUE(platform_.CopyFileIfAbsent(folder_ / "source.zpk", archive));
    EXPECT_EQ(platform_.FileSize(archive), 13);
    EXPECT_EQ(platform_.LookupEntry(deep + "\\pätch_вкс.ZPK", EntryKind::PlainFiles),
              "Pätch_ВКС.zpk");
    WriteBytes(folder_ / "source.zpk", "another archive");
    platform_.ReplaceFile(folder_ / "source.zpk", archive);
    EXPECT_EQ(test::ReadBytes(archive), "another archive");
    EXPECT_EQ(test::EntryNames(deep), std::vector<std::string>{"Pätch_ВКС.zpk"});
}

TEST_F(Win32FilesTest, MakeFolderFailsForExistingOrParentless) {
    platform_.MakeFolder(folder_ / "mods");
    EXPECT_EQ(platform_.LookupEntry(folder_ / "mods", EntryKind::FilesAndFolders), "mods");
    EXPECT_EQ(NumberOf([&] { platform_.MakeFolder(folder_ / "mods"); }), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(NumberOf([&] { platform_.MakeFolder(folder_ / "no\\mods"); }), ERROR_PATH_NOT_FOUND);
}

}  // namespace
}  // namespace vx::win32
