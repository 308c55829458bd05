#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "state/ModRegistry.h"

namespace vx {
namespace {

TEST(ModRegistryTest, UsesTheStoredLayout) {
    test::FakePlatform platform;
    ModRegistry registry(platform);

    EXPECT_EQ(registry.ReadCount("0"), 0);
    EXPECT_THROW(registry.ReadCount(std::nullopt), Error);  // absent, no default: empty text
    EXPECT_EQ(registry.ReadEntry(1), "");
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "nopath");

    registry.WriteCount(-3);
    registry.WriteEntry(12, "D:\\a b\\ü.zpk");
    registry.WriteGameFolder("D:\\Games\\VX\\");
    EXPECT_EQ(platform.Setting("settings", "mods"), "-3");
    EXPECT_EQ(platform.Setting("mods", "12"), "D:\\a b\\ü.zpk");
    EXPECT_EQ(platform.Setting("settings", "vxpath"), "D:\\Games\\VX\\");
    EXPECT_EQ(registry.ReadCount(std::nullopt), -3);
    EXPECT_EQ(registry.ReadEntry(12), "D:\\a b\\ü.zpk");

    platform.decimalSeparator = ',';
    platform.Set("settings", "mods", "4,7");
    EXPECT_EQ(registry.ReadCount("0"), 4);
}

}  // namespace
}  // namespace vx
