// Entry lookup, file size and make folder on real files in a temporary folder.
#include "ServicesTest.h"

#include <winioctl.h>

#include "platform/win32/Handle.h"

namespace vx::win32 {
namespace {

using Win32FilesTest = ServicesTest;

TEST_F(Win32FilesTest, LookupMatchesAnyCaseAnswersTheStoredNameAndLeavesOutWhatItShould) {
    // Names without a dot are folders.
    const DWORD attributes[] = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY,
                                FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_HIDDEN};
    int i = 0;
    for (const std::string name :
         {"Vexmoor.exe", "plain.zpk", "hidden.zpk", "system.zpk", "Mods", "secret"}) {
        const std::wstring path = ApiPath(folder_ / name);
        ASSERT_TRUE(name.find('.') != std::string::npos ? test::WriteFile(folder_ / name, "")
                                                        : CreateDirectoryW(path.c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes[i++]));
    }
    // Each row: what is looked up > what is found. A folder typed with a trailing separator
    // doubles it; "/" separates too. Only the lookup of files and folders finds a folder.
    for (const std::string row :
         {"\\VEXMOOR.EXE>Vexmoor.exe", "\\\\vexmoor.exe>Vexmoor.exe", "/VexMoor.exe>Vexmoor.exe",
          "\\plain.zpk>plain.zpk", "\\mods>Mods", "\\patch_vx.zpk>", "\\gone\\vexmoor.exe>",
          "\\secret>", "\\hidden.zpk>", "\\system.zpk>", "\\*.zpk>", "\\plain.?pk>"}) {
        const std::string path = folder_.Utf8() + row.substr(0, row.find('>'));
        const std::string found = row.substr(row.find('>') + 1);
        EXPECT_EQ(platform_.LookupEntry(path, EntryKind::FilesAndFolders), found) << path;
        EXPECT_EQ(platform_.LookupEntry(path, EntryKind::PlainFiles), found == "Mods" ? "" : found);
    }
}

TEST_F(Win32FilesTest, SizesPastFourGiBAndFailuresWithTheSystemsNumberAndText) {
    const std::int64_t size = (std::int64_t{5} << 30) + 3;
    UniqueFile file(CreateFileW(ApiPath(folder_ / "huge.zpk").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD unused = 0;
    const LARGE_INTEGER end{.QuadPart = size};
    if (DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr) &&
        SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get())) {
        file.Reset();
        EXPECT_EQ(platform_.FileSize(folder_ / "HUGE.zpk"), size);
    }
    platform_.MakeFolder(folder_ / "mods");
    for (const auto& [action, number] : std::vector<std::pair<std::function<void()>, DWORD>>{
             {[&] { platform_.FileSize(folder_ / "missing.zpk"); }, ERROR_FILE_NOT_FOUND},
             {[&] { platform_.FileSize(""); }, ERROR_PATH_NOT_FOUND},
             {[&] { platform_.FileSize(folder_.Utf8()); }, ERROR_FILE_NOT_FOUND},
             {[&] { platform_.MakeFolder(folder_ / "mods"); }, ERROR_ALREADY_EXISTS},
             {[&] { platform_.MakeFolder(folder_ / "no\\mods"); }, ERROR_PATH_NOT_FOUND}}) {
        const Error error = test::ErrorOf(action);
        EXPECT_EQ(error.Number(), static_cast<int>(number)) << error.what();
        EXPECT_FALSE(error.Text().empty());
    }
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

}  // namespace
}  // namespace vx::win32
