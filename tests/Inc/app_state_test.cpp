#include "Inc/AppState.h"

#include <gtest/gtest.h>

#include <filesystem>

// The program finds its encoder and its languages beside itself.
TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgram) {
  const std::string directory = ExecutableDirectory();
  ASSERT_TRUE(directory.ends_with('/')) << directory;
  EXPECT_TRUE(std::filesystem::equivalent(directory + "app_state_tests", "/proc/self/exe")) << directory;
}
