// No export writes past the size its output is documented to have, however
// long the phone's answer.
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptedModem.h"
#include "fonexa/FonexaCore.h"

using fonexa::testing::ScriptedModem;

namespace {

constexpr size_t kLong = 10 * 1024;
constexpr char kCanary = '#';

class ExportBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string huge(kLong, 'x');
    modem.On("AT+CGMI", "\r\n" + huge + "\r\n\r\nOK\r\n");
    modem.On("AT+CGMM", "\r\n" + huge + "\r\n\r\nOK\r\n");
    modem.On("AT+CGSN", "\r\n" + huge + "\r\n\r\nOK\r\n");
    modem.On("AT+CCLK?", "\r\n+CCLK: \"" + huge + "\"\r\n\r\nOK\r\n");
    modem.On("AT+HUGE", "\r\n" + huge + "\r\n\r\nOK\r\n");
    h = CreateGsmInstance();
    ASSERT_EQ(Initialize(h, ("GenericPhone@" + modem.Path()).c_str()), 1);
    std::memset(buffer, kCanary, sizeof buffer);
  }
  void TearDown() override { ReleaseGsm(h); }

  // The text filled exactly size bytes (cut, NUL last) and nothing beyond.
  void ExpectCutTo(size_t size) {
    EXPECT_EQ(std::strlen(buffer), size - 1);
    for (size_t i = size; i < sizeof buffer; ++i) {
      ASSERT_EQ(buffer[i], kCanary) << "byte " << i << " written";
    }
  }

  ScriptedModem modem;
  MxGsmHandle h = nullptr;
  char buffer[kLong + 64];
};

}  // namespace

TEST_F(ExportBounds, IdentityTexts) {
  EXPECT_EQ(GetManufacturer(h, buffer), 1);
  ExpectCutTo(FONEXA_IDENTITY_SIZE);
  std::memset(buffer, kCanary, sizeof buffer);
  EXPECT_EQ(GetModel(h, buffer), 1);
  ExpectCutTo(FONEXA_IDENTITY_SIZE);
  std::memset(buffer, kCanary, sizeof buffer);
  EXPECT_EQ(GetImei(h, buffer), 1);
  ExpectCutTo(FONEXA_IDENTITY_SIZE);
}

TEST_F(ExportBounds, ClockText) {
  EXPECT_EQ(GetTime(h, buffer), 1);
  ExpectCutTo(FONEXA_TIME_SIZE);
}

TEST_F(ExportBounds, CustomCommandAnswer) {
  EXPECT_EQ(SendCustomAtCommand(h, "AT+HUGE\r", buffer), 1);
  ExpectCutTo(FONEXA_CUSTOM_RESPONSE_SIZE);
  std::memset(buffer, kCanary, sizeof buffer);
  EXPECT_EQ(SendCustomAtCommandEx(h, "AT+HUGE\r", buffer, 100), 1);
  ExpectCutTo(100);
  std::memset(buffer, kCanary, sizeof buffer);
  EXPECT_EQ(SendCustomAtCommandEx(h, "AT+HUGE\r", buffer, sizeof buffer), 1);
  EXPECT_EQ(std::string(buffer), "\r\n" + std::string(kLong, 'x') + "\r\n\r\nOK\r\n");
}

TEST_F(ExportBounds, SimIdOfAProfileWithoutOne) {
  EXPECT_EQ(GetSimId(h, buffer), 0);  // the generic profile has none and writes nothing
  EXPECT_EQ(buffer[0], kCanary);
}
