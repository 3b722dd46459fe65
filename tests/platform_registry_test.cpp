#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/registry.h"
#include "tests/temp_registry_fixture.h"

namespace fs = std::filesystem;

class RegistryTest : public TempRegistryTest {
protected:
    RegistryTest() : TempRegistryTest("vxreg") {}
};

TEST_F(RegistryTest, TypedValuesRoundTripAcrossHives) {
    using registry::Hive;
    const std::string key = "SOFTWARE\\Brightmoor\\Varolux32\\Dateien";
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, key, "MRU0"));
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, key, "MRU0", "/tmp/a \"b\"\\c\r\nd.rvx"));
    ASSERT_TRUE(registry::writeDword(Hive::CurrentUser, key, "Top", 0xFFFFFFF0u));
    ASSERT_TRUE(registry::writeBinary(Hive::CurrentUser, key, "Blob", {0, 1, 0xFE}));
    ASSERT_TRUE(registry::writeString(Hive::LocalMachine, "SOFTWARE\\X", "TraceFile", "t.log"));

    EXPECT_EQ(*registry::readString(Hive::CurrentUser, key, "MRU0"), "/tmp/a \"b\"\\c\r\nd.rvx");
    EXPECT_EQ(*registry::readDword(Hive::CurrentUser, key, "top"), 0xFFFFFFF0u);  // names ignore case
    EXPECT_EQ(*registry::readBinary(Hive::CurrentUser, "software\\brightmoor\\varolux32\\dateien", "Blob"),
              (std::vector<uint8_t>{0, 1, 0xFE}));
    EXPECT_FALSE(registry::readDword(Hive::CurrentUser, key, "MRU0"));  // wrong type
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, "SOFTWARE\\X", "TraceFile"));
    EXPECT_EQ(*registry::readString(Hive::LocalMachine, "SOFTWARE\\X", "TraceFile"), "t.log");
    EXPECT_TRUE(fs::exists(dir_ / "current-user.reg"));
    EXPECT_TRUE(fs::exists(dir_ / "local-machine.reg"));
}

TEST_F(RegistryTest, KeysValuesAndDeletion) {
    using registry::Hive;
    registry::writeString(Hive::CurrentUser, "A\\B\\C", "v", "1");
    registry::writeString(Hive::CurrentUser, "A\\B\\D", "w", "2");
    EXPECT_TRUE(registry::keyExists(Hive::CurrentUser, "A\\B"));
    auto subs = registry::subKeys(Hive::CurrentUser, "A\\B");
    EXPECT_EQ(subs, (std::vector<std::string>{"C", "D"}));
    EXPECT_EQ(registry::valueNames(Hive::CurrentUser, "A\\B\\C"), std::vector<std::string>{"v"});
    EXPECT_TRUE(registry::deleteValue(Hive::CurrentUser, "A\\B\\C", "v"));
    EXPECT_FALSE(registry::deleteValue(Hive::CurrentUser, "A\\B\\C", "v"));
    EXPECT_TRUE(registry::deleteKey(Hive::CurrentUser, "A\\B"));
    EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "A\\B\\D"));
    EXPECT_TRUE(registry::keyExists(Hive::CurrentUser, "A"));
}

TEST_F(RegistryTest, UnwritableFolderReportsFailure) {
    setenv("VAROLUX32_REGISTRY_DIR", "/proc/no-such-place/x", 1);
    EXPECT_FALSE(registry::writeString(registry::Hive::CurrentUser, "K", "n", "v"));
}
