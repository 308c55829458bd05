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

using test::SetAttributes;
using test::WriteBytes;

int ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        EXPECT_FALSE(error.Text().empty());
        return error.Number();
    }
    return 0;
}

class Win32FilesTest : public ::testing::Test {
  protected:
    test::TempFolder folder_;
    Win32Platform platform_;  // the files only; the registry is left alone
};

TEST_F(Win32FilesTest, LookupMatchesAnyCaseAndAnswersTheStoredName) {
    WriteBytes(folder_ / "Vexmoor.exe", "MZ");
    for (EntryKind kind : {EntryKind::PlainFiles, EntryKind::FilesAndFolders}) {
        EXPECT_EQ(platform_.LookupEntry(folder_ / "VEXMOOR.EXE", kind), "Vexmoor.exe");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "patch_vx.zpk", kind), "");
        EXPECT_EQ(platform_.LookupEntry(folder_ / "gone\\vexmoor.exe", kind), "");
    }
    // A folder typed with a trailing separator doubles it; "/" separates too.
    EXPECT_EQ(platform_.LookupEntry(folder_.Path() + "\\\\vexmoor.exe", EntryKind::PlainFiles),
              "Vexmoor.exe");
    EXPECT_EQ(platform_.LookupEntry(folder_.Path() + "/VexMoor.exe", EntryKind::PlainFiles),
              "Vexmoor.exe");
}

TEST_F(Win32FilesTest, LookupKindsLeaveOutHiddenSystemAndFolders) {
    platform_.MakeFolder(folder_ / "Mods");
    platform_.MakeFolder(folder_ / "secret");
    SetAttributes(folder_ / "secret", FILE_ATTRIBUTE_HIDDEN);
    for (const char* name : {"hidden.zpk", "system.zpk", "plain.zpk"}) {
        WriteBytes(folder_ / name, "zpk");
    }
    SetAttributes(folder_ / "hidden.zpk", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(folder_ / "system.zpk", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(folder_ / "plain.zpk", FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(platform_.LookupEntry(folder_ / "mods", EntryKind::PlainFiles), "");
    EXPECT_EQ(platform_.LookupEntry(folder_ / "mods", EntryKind::FilesAndFolders), "Mods");
    for (EntryKind kind : {EntryKind::PlainFiles, EntryKind::FilesAndFolders}) {
        EXPECT_EQ(platform_.LookupEntry(folder_ / "plain.zpk", kind), "plain.zpk");
        for (const char* name : {"secret", "hidden.zpk", "system.zpk", "*.zpk", "plain.?pk"}) {
            EXPECT_EQ(platform_.LookupEntry(folder_ / name, kind), "") << name;
        }
    }
}

TEST_F(Win32FilesTest, FailuresCarryTheSystemsNumberAndText) {
    WriteBytes(folder_ / "odd.zpk", std::string(70001, '\0'));
    EXPECT_EQ(platform_.FileSize(folder_ / "ODD.zpk"), 70001);
    EXPECT_EQ(ErrorNumber([&] { platform_.FileSize(folder_ / "missing.zpk"); }),
              ERROR_FILE_NOT_FOUND);
    EXPECT_NE(ErrorNumber([&] { platform_.FileSize(""); }), 0);
    EXPECT_NE(ErrorNumber([&] { platform_.FileSize(folder_.Path()); }), 0) << "a folder";

    platform_.MakeFolder(folder_ / "mods");
    EXPECT_EQ(ErrorNumber([&] { platform_.MakeFolder(folder_ / "mods"); }), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ErrorNumber([&] { platform_.MakeFolder(folder_ / "no\\mods"); }),
              ERROR_PATH_NOT_FOUND);
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
    EXPECT_EQ(ApiPath("C:\\Games/Vexmoor\\\\patch_vx.zpk"),
              L"\\\\?\\C:\\Games\\Vexmoor\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("C:\\Games\\.\\mods\\..\\patch_vx.zpk"), L"\\\\?\\C:\\Games\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("\\\\server\\share\\patch_vx.zpk"),
              L"\\\\?\\UNC\\server\\share\\patch_vx.zpk");
    EXPECT_EQ(ApiPath("\\\\?\\C:\\Games"), L"\\\\?\\C:\\Games");
    EXPECT_EQ(ApiPath("mods/patch_vx.zpk"), L"mods/patch_vx.zpk");
}

TEST_F(Win32FilesTest, LongNonAsciiPathsWorkForEveryService) {
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

}  // namespace
}  // namespace vx::win32
