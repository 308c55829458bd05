#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "state/ModRegistry.h"

namespace vx {
namespace {

// Where each value is stored is shown by the settings file on disk, in the platform's tests.
TEST(ModRegistryTest, ReadsTheCountWithTheUsersSeparatorAndItsDefaultOnlyWhenAbsent) {
    test::FakePlatform platform;
    ModRegistry registry(platform);
    EXPECT_EQ(registry.ReadCount("0"), 0);
    EXPECT_THROW(registry.ReadCount(std::nullopt), Error);  // absent, no default: empty text
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "nopath");
    platform.decimalSeparator = ',';
    platform.Set("settings", "mods", "4,7");
    EXPECT_EQ(registry.ReadCount("0"), 4);
    EXPECT_EQ(registry.ReadCount(std::nullopt), 4);
}

}  // namespace
}  // namespace vx
