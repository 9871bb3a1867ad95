#include <gtest/gtest.h>

#include "fonexa/CMxComPort.h"

TEST(ComPortClassify, OkOnlyInItsFourExactForms) {
  CMxComPort port;
  for (const char* ok : {"OK", "OK\r\n", "\r\nOK", "\r\nOK\r\n"}) EXPECT_EQ(port.IsOk(ok), 1) << ok;
  for (const char* notOk : {"", " OK", "OK ", "OK\r\n\r\n", "ok", "\r\nOK\r\nOK", "+CME ERROR: 10"})
    EXPECT_EQ(port.IsOk(notOk), 0) << notOk;
}

TEST(ComPortClassify, ErrorInItsFormsOrAnywhereInTheText) {
  CMxComPort port;
  for (const char* error : {"ERROR", "ERROR\r\n", "\r\nERROR", "\r\nERROR\r\n", "+CME ERROR: 10", "+CMS ERROR: 500",
                            "+CME ERROR: SIM not inserted\r\n"})
    EXPECT_EQ(port.IsError(error), 1) << error;
  for (const char* notError : {"", "OK", "error", "NO CARRIER", "ERRO"}) EXPECT_EQ(port.IsError(notError), 0) << notError;
}

TEST(ComPortClassify, IsStringNeedsAPatternAndTheWholeText) {
  CMxComPort port;
  EXPECT_EQ(port.IsString("", ""), 0);
  EXPECT_EQ(port.IsString("OK", "OK"), 1);
  EXPECT_EQ(port.IsString("OK\r\n", "OK"), 0);
}
