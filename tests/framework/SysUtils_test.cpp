#include "framework/SysUtils.h"

#include <gtest/gtest.h>

TEST(Exception, CarriesItsMessage) {
  try {
    throw Exception("Fehler beim Öffnen");
  } catch (const Exception& e) {
    // Literals are compiled to Windows-1252: "Ö" is the single byte 0xD6.
    EXPECT_EQ(e.Message(), std::string("Fehler beim \xD6" "ffnen"));
  }
}
