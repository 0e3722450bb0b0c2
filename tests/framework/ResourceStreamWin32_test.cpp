#include "framework/ResourceStreamWin32.h"

#include <gtest/gtest.h>

TEST(ResourceStream, ReadsTheResourceBytesByNameAndNumber) {
  TResourceStream byName(::GetModuleHandleA(nullptr), "KFWTEXT",
                         MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  EXPECT_EQ(byName.Size(), 14);
  std::string text(14, '\0');
  byName.ReadBuffer(text.data(), 14);
  EXPECT_EQ(text, "resource bytes");
  EXPECT_THROW(byName.ReadBuffer(text.data(), 1), EReadError);
  byName.Seek(-5, soEnd);
  char tail[5];
  byName.ReadBuffer(tail, 5);
  EXPECT_EQ(std::string(tail, 5), "bytes");

  TResourceStream byId(::GetModuleHandleA(nullptr), 42, MAKEINTRESOURCEA(10));
  EXPECT_EQ(byId.Size(), 9);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(byId.Memory()), 9), "by number");
}

TEST(ResourceStream, MissingResourcesAndWritesAreRefused) {
  try {
    TResourceStream s(::GetModuleHandleA(nullptr), "NOSUCH", MAKEINTRESOURCEA(10));
    ADD_FAILURE();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NOSUCH not found");
  }
  TResourceStream s(::GetModuleHandleA(nullptr), "KFWTEXT", MAKEINTRESOURCEA(10));
  EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
}
