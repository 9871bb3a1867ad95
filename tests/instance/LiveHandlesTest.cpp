// A handle kept past its release, or one never given out, is refused by every
// export with its failure value; nothing reaches freed memory (the sanitizer
// build runs this too) and nothing reaches the phone.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "InstanceFixture.h"
#include "fonexa/FonexaCore.h"

using fonexa::testing::InstanceTest;
using namespace std::chrono_literals;

namespace {

class LiveHandles : public InstanceTest {};

// Every export that takes a handle, with its failure value.
void ExpectRefused(MxGsmHandle h) {
  char text[FONEXA_CUSTOM_RESPONSE_SIZE] = "untouched";
  int a = 7, b = 7, c = 7, d = 7;
  MxSmsRecord sms{};
  MxPhoneBookRecord entry{};
  MxOperatorRecord op{};
  EXPECT_EQ(Initialize(h, "GenericPhone@/dev/null"), 0);
  EXPECT_EQ(SwitchOn(h), 0);
  EXPECT_EQ(SwitchOff(h), 0);
  EXPECT_EQ(IsModuleOn(h), 0);
  EXPECT_EQ(GetState(h, 4), 0);
  EXPECT_EQ(Attach(h, "test", 100), 0);
  EXPECT_EQ(GetManufacturer(h, text), 0);
  EXPECT_EQ(GetTime(h, text), 0);
  EXPECT_EQ(SetTime(h, "24/01/01,00:00:00"), 0);
  EXPECT_EQ(SendCustomAtCommand(h, "AT\r", text), 0);
  EXPECT_EQ(GetSimId(h, text), 0);
  EXPECT_EQ(GetSignalQuality(h, &a, &b), 0);
  EXPECT_EQ(GetCurrentOperator(h, &op), 0);
  EXPECT_EQ(LoadLocalOperatorEntries(h), -1);
  EXPECT_EQ(SendSms(h, "+4917012345", "hi"), 0);
  EXPECT_EQ(LoadSmsEntries(h, 4), -1);
  EXPECT_EQ(ReadSmsEntry(h, 1, &sms), 0);
  EXPECT_EQ(GetSmsStorage(h, &a, &b, &c), 0);
  EXPECT_EQ(LoadPhoneBookEntries(h, 1, 5), -1);
  EXPECT_EQ(ReadPhoneBookEntry(h, 1, &entry), 0);
  EXPECT_EQ(GetRangeInfo(h, &a, &b, &c, &d), 0);
  EXPECT_EQ(GetVerifyStatus(h), 0);
  EXPECT_EQ(Verify(h, "1234", ""), 0);
  EXPECT_EQ(AutoVerify(h), 0);
  EXPECT_EQ(GetActivity(h), -1);
  EXPECT_EQ(Dial(h, "+4917012345"), 0);
  EXPECT_EQ(Answer(h), 0);
  EXPECT_EQ(Hangup(h), 0);
  EXPECT_EQ(LoadCurrentCalls(h), -1);
  EXPECT_EQ(GetLock(h, 1, "1234", &a), 0);
  EXPECT_EQ(VoiceOn(h), 0);
  InterruptDialing(h);
  EXPECT_EQ(RegisterEventHandler(h, FONEXA_EVENT_SIGNAL, nullptr), 0u);
  EXPECT_EQ(UnregisterEventHandler(h, 1), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(a, 7);
}

TEST_F(LiveHandles, AReleasedHandleIsRefusedEverywhere) {
  fonexa::sim::ModemOptions options;
  options.registrationDelay = 0ms;
  StartModem(options);
  MxGsmHandle old = CreateGsmInstance();
  ASSERT_EQ(Initialize(old, Spec().c_str()), 1);
  ASSERT_NE(ReleaseGsm(old), 0);
  const size_t before = Received();
  ExpectRefused(old);
  EXPECT_EQ(Received(), before);

  // A later instance gets a handle of its own; the old one still names nothing.
  h = CreateGsmInstance();
  ASSERT_NE(h, old);
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  EXPECT_EQ(GetState(h, 4), 1);
  EXPECT_EQ(GetState(old, 4), 0);
}

TEST_F(LiveHandles, AHandleNeverGivenOutIsRefused) {
  ExpectRefused(reinterpret_cast<MxGsmHandle>(static_cast<uintptr_t>(0x7fff1234)));
  ExpectRefused(nullptr);
}

}  // namespace
