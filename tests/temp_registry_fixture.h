#pragma once
// A test fixture whose settings store lives in a fresh folder of its own, removed after each test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

class TempRegistryTest : public ::testing::Test {
protected:
    // `prefix` starts the folder name, so that test programs running side by side never share one.
    explicit TempRegistryTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        setenv("VAROLUX32_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        unsetenv("VAROLUX32_REGISTRY_DIR");
    }

    std::filesystem::path dir_;

private:
    std::string prefix_;
};
