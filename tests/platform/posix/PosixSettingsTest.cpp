#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempFolder.h"
#include "platform/posix/PosixPlatform.h"
#include "state/Error.h"
#include "state/ModRegistry.h"

namespace vx::posix {
namespace {

using test::ReadFile;
using test::WriteFile;

class PosixSettingsTest : public ::testing::Test {
  protected:
    test::TempFolder config;
    PosixPlatform platform{config.Path()};
    ModRegistry registry{platform};
    std::string File() const { return platform.SettingsFile("Vexmoor Patchkeeper").string(); }
};

TEST_F(PosixSettingsTest, KeepsTheRegistryInAReadableIniFile) {
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "nopath");
    EXPECT_EQ(registry.ReadCount("0"), 0);

    registry.WriteGameFolder("/home/me/Vexmoor Game");
    registry.WriteEntry(1, "/home/me/mods/NORMAL_patch_vx.zpk");
    registry.WriteEntry(2, "/mnt/ü/über mod.zpk");
    registry.WriteCount(2);
    registry.WriteEntry(1, "/again.zpk");  // overwrites in place

    EXPECT_EQ(File(), (config.Path() / "Vexmoor Patchkeeper/settings.ini").string());
    EXPECT_EQ(ReadFile(File()),
              "[settings]\nvxpath=/home/me/Vexmoor Game\nmods=2\n\n"
              "[mods]\n1=/again.zpk\n2=/mnt/ü/über mod.zpk\n");
    EXPECT_EQ(registry.ReadEntry(2), "/mnt/ü/über mod.zpk");
    EXPECT_EQ(registry.ReadCount(std::nullopt), 2);
    struct stat info {};
    ASSERT_EQ(::stat(File().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
}

TEST_F(PosixSettingsTest, ReadsWhatAPersonWritesAndKeepsOddValuesIntact) {
    std::filesystem::create_directories(config.Path() / "Vexmoor Patchkeeper");
    WriteFile(File(),
              "; edited by hand\r\n[settings]\r\n  vxpath = C:\\games\\vx  \r\nmods=2.9\r\n"
              "[mods]\n1=/a.zpk\n");
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "C:\\games\\vx");
    EXPECT_EQ(registry.ReadCount("0"), 2);
    EXPECT_EQ(registry.ReadEntry(1), "/a.zpk");

    for (const std::string& odd :
         {"  /a \"quoted\" = ;# \\n \\ line\nbreak\r " + std::string(4000, 'x'),
          std::string("\"/quoted/\""), std::string("C:\\new\\\"")}) {
        registry.WriteEntry(7, odd);
        EXPECT_EQ(registry.ReadEntry(7), odd);
    }
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "C:\\games\\vx");
}

TEST_F(PosixSettingsTest, ADamagedOrUnreadableFileIsNeverOverwritten) {
    std::filesystem::create_directories(config.Path() / "Vexmoor Patchkeeper");
    const std::string damaged = "[settings]\nvxpath=/g\nthis line is not a setting\n[mods]\n1=/a\n";
    WriteFile(File(), damaged);
    try {
        registry.ReadEntry(1);
        FAIL() << "a damaged file must not read as empty";
    } catch (const Error& e) {
        EXPECT_NE(e.Text().find("line 3"), std::string::npos) << e.Text();
        EXPECT_EQ(e.Path(), File());
    }
    EXPECT_THROW(registry.WriteCount(1), Error);
    EXPECT_EQ(ReadFile(File()), damaged);

    if (::geteuid() != 0) {  // root reads whatever the permissions say
        WriteFile(File(), "[settings]\nvxpath=/g\n");
        ::chmod(File().c_str(), 0200);
        EXPECT_THROW(registry.ReadGameFolder("nopath"), Error);
        EXPECT_THROW(registry.WriteCount(1), Error);
    }
}

}  // namespace
}  // namespace vx::posix
