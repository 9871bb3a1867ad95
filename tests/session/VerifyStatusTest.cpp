#include <gtest/gtest.h>

#include "SessionFixture.h"
#include "services/CMxGsmProtection.h"

using fonexa::testing::LogCapture;
using fonexa::testing::SessionTest;

namespace {

struct PinCase {
  const char* words;
  int status;
};

const PinCase kPinCases[] = {
    {"READY", 1},        {"SIM PIN", 2},      {"SIM PUK", 3},      {"SIM PIN2", 4},     {"SIM PUK2", 5},
    {"PH-SIM PIN", 6},   {"PH-SIM PUK", 7},   {"PH-FSIM PIN", 8},  {"PH-FSIM PUK", 9},  {"PH-NET PIN", 10},
    {"PH-NET PUK", 11},  {"PH-NS PIN", 12},   {"PH-NS PUK", 13},   {"PH-SP PIN", 14},   {"PH-SP PUK", 15},
    {"PH-C PIN", 16},    {"PH-C PUK", 17},    {"SIM", 0},          {"BLOCKED", 0},      {"sim pin", 0},
};

}  // namespace

TEST_F(SessionTest, EveryPinStatusQuotedAndUnquoted) {
  Start();
  CMxGsmProtection protection(&session);
  for (const auto& c : kPinCases) {
    modem.On("AT+CPIN?", std::string("\r\n+CPIN: ") + c.words + "\r\n\r\nOK\r\n");
    EXPECT_EQ(protection.GetVerifyStatus(), c.status) << c.words;
    modem.On("AT+CPIN?", std::string("\r\n+CPIN: \"") + c.words + "\"\r\n\r\nOK\r\n");
    EXPECT_EQ(protection.GetVerifyStatus(), c.status) << '"' << c.words << '"';
  }
  EXPECT_EQ(session.IsOpened(), 1);  // every call closed what it opened
  session.Close();
  EXPECT_EQ(session.IsOpened(), 0);
}

TEST_F(SessionTest, VerifyStatusFailuresAreMinusOne) {
  Start();
  LogCapture logs;
  CMxGsmProtection protection(&session);
  modem.On("AT+CPIN?", "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(protection.GetVerifyStatus(), -1);
  modem.On("AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nERROR\r\n");
  EXPECT_EQ(protection.GetVerifyStatus(), -1);
  modem.On("AT+CPIN?", "\r\n+CPIN: \r\n\r\nOK\r\n");
  EXPECT_EQ(protection.GetVerifyStatus(), -1);
  const std::string trace = logs.Trace();
  EXPECT_NE(trace.find("<--CMxGsmProtection::GetVerifyStatus>>ERROR:Wrong response\r\n"), std::string::npos);
  EXPECT_NE(trace.find("<--CMxGsmProtection::GetVerifyStatus>>ERROR:Wrong Tokenizing:1.\r\n"), std::string::npos);
  EXPECT_EQ(session.IsOpened(), 1);
}

TEST(VerifyStatus, WithoutSessionZeroAndUnopenableMinusOne) {
  EXPECT_EQ(CMxGsmProtection(nullptr).GetVerifyStatus(), 0);
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone@/dev/no-such-modem"), 1);
  EXPECT_EQ(CMxGsmProtection(&session).GetVerifyStatus(), -1);
  EXPECT_EQ(session.IsOpened(), 0);
}

TEST_F(SessionTest, VerifyStatusTraceOfOneExchange) {
  LogCapture logs;
  const size_t before = StartLogged(logs);
  modem.On("AT+CPIN?", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
  EXPECT_EQ(CMxGsmProtection(&session).GetVerifyStatus(), 2);
  EXPECT_EQ(logs.Trace().substr(before),
            "\r\n-->CMxGsmProtection::GetVerifyStatus()\r\n"
            "CMxGsmProtection::GetVerifyStatus>>Status:[SIM], Pin:[PIN]\r\n"
            "<--CMxGsmProtection::GetVerifyStatus>>OK\r\n");
}
