#include "framework/RegistryWin32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A key of this test program's own below HKEY_CURRENT_USER, removed before and after.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }
  const std::string root_ =
      "Software\\Kestrava tests\\registry " + std::to_string(::GetCurrentProcessId());
};

}  // namespace

TEST_F(RegistryTest, RelativeAndRootedPathsOpenTheKeysTheyName) {
  TRegistry registry;
  EXPECT_FALSE(registry.OpenKeyReadOnly(root_));  // missing, and not made by reading
  ASSERT_TRUE(registry.OpenKey(root_, true));
  EXPECT_EQ(registry.CurrentPath(), root_);
  ASSERT_TRUE(registry.OpenKey("Inner\\", true));
  EXPECT_EQ(registry.CurrentPath(), root_ + "\\Inner");
  registry.WriteInteger("Depth", 2);

  // A failed open keeps the key that was open.
  EXPECT_FALSE(registry.OpenKey("Missing", false));
  EXPECT_EQ(registry.CurrentPath(), root_ + "\\Inner");
  EXPECT_EQ(registry.ReadInteger("Depth"), 2);

  ASSERT_TRUE(registry.OpenKeyReadOnly("\\" + root_));
  EXPECT_EQ(registry.CurrentPath(), root_);
  EXPECT_FALSE(registry.ValueExists("Depth"));
  // Read-only means read-only.
  EXPECT_THROW(registry.WriteInteger("Depth", 1), ERegistryException);
}

TEST_F(RegistryTest, ValuesKeepTheirKindAndReadingTheOtherKindRaises) {
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(root_, true));
  registry.WriteInteger("Number", -5);
  registry.WriteString("Text", "first line\r\nsecond line");
  registry.WriteString("Empty", "");

  EXPECT_EQ(registry.ReadInteger("Number"), -5);
  EXPECT_EQ(registry.ReadString("Text"), "first line\r\nsecond line");
  EXPECT_EQ(registry.ReadString("Empty"), "");
  EXPECT_EQ(registry.ReadString("Missing"), "");
  EXPECT_THROW(registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(registry.ReadInteger("Text"), ERegistryException);
  EXPECT_THROW(registry.ReadString("Number"), ERegistryException);
}
