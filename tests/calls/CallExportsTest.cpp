// Calls and SIM security through the exported functions, on an instance over
// the virtual phone.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "EventLog.h"
#include "InstanceFixture.h"
#include "fonexa/FonexaCore.h"
#include "services/CMxGsmCallsCompare.h"

using fonexa::testing::EventLog;
using fonexa::testing::InstanceTest;
using namespace std::chrono_literals;

namespace {

class CallExports : public InstanceTest {
 protected:
  void Bring(fonexa::sim::ModemOptions options = {}) {
    options.registrationDelay = 0ms;
    StartModem(std::move(options));
    modem->update([](fonexa::sim::ModemContext& ctx) {
      ctx.calls.rules.setTiming(std::chrono::milliseconds(50), std::chrono::milliseconds(100));
    });
    h = CreateGsmInstance();
    ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  }
  std::string Since(size_t mark) const { return modem->transcript().text(fonexa::sim::Direction::In).substr(mark); }
};

TEST_F(CallExports, ADialEndsInItsEventAndTheCallIsListed) {
  Bring();
  ASSERT_EQ(GetState(h, 4), 1);
  EventLog events;
  RegisterEventHandler(h, FONEXA_EVENT_DIAL_END, &events);
  ASSERT_EQ(Dial(h, "+4917012345"), 1);
  ASSERT_TRUE(events.WaitFor(FONEXA_EVENT_DIAL_END, 1, 10s));
  EXPECT_EQ(events.Of(FONEXA_EVENT_DIAL_END)[0].text, "+4917012345");
  EXPECT_EQ(events.Of(FONEXA_EVENT_DIAL_END)[0].value, 0u);

  ASSERT_EQ(LoadCurrentCalls(h), 1);
  MxCallRecord record{};
  ASSERT_EQ(GetNextCurrentCall(&record), 1);
  EXPECT_EQ(record.state, 0);
  EXPECT_EQ(record.direction, 0);
  EXPECT_STREQ(record.phoneNumber, "+4917012345");
  EXPECT_EQ(GetNextCurrentCall(&record), 0);
  EXPECT_EQ(GetNextCurrentCall(&record), 0);
  EXPECT_EQ(GetActivity(h), 4);
  EXPECT_EQ(Hangup(h), 1);
  EXPECT_EQ(LoadCurrentCalls(h), 0);
}

TEST_F(CallExports, AnIncomingCallAnsweredAndReleased) {
  Bring();
  ASSERT_EQ(EnableClip(h, 1), 1);
  ASSERT_TRUE(modem->ring("+4917011111"));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(GetActivity(h), 3);
  EXPECT_EQ(Answer(h), 1);
  EXPECT_EQ(GetActivity(h), 4);
  EXPECT_EQ(ManageMultiparty(h, 1, -1), 1);  // releases the active call
  EXPECT_EQ(LoadCurrentCalls(h), 0);
  EXPECT_EQ(EnableClir(h, 1), 1);
  EXPECT_NE(Since(0).find("AT+CLIR=1\r"), std::string::npos);
}

TEST_F(CallExports, DialFromPhoneBookUsesTheProfilesStorageName) {
  Bring();
  modem->update([](fonexa::sim::ModemContext& ctx) {
    ctx.phoneBooks.find("SM")->entries[3] = {"+4917012345", 145, "Alice", {}};
  });
  EventLog events;
  RegisterEventHandler(h, FONEXA_EVENT_DIAL_END, &events);
  const size_t mark = Received();
  ASSERT_EQ(DialFromPhoneBook(h, 0, 3), 1);
  ASSERT_TRUE(events.WaitFor(FONEXA_EVENT_DIAL_END, 1, 10s));
  EXPECT_EQ(events.Of(FONEXA_EVENT_DIAL_END)[0].text, ">SM3");
  Hangup(h);
  ASSERT_EQ(DialFromPhoneBook(h, 3, -1), 1);  // location 3 of the current storage
  ASSERT_TRUE(events.WaitFor(FONEXA_EVENT_DIAL_END, 2, 10s));
  Hangup(h);
  const std::string sent = Since(mark);
  EXPECT_NE(sent.find("ATD>SM3;\r"), std::string::npos);
  EXPECT_NE(sent.find("ATD>3;\r"), std::string::npos);
  EXPECT_EQ(DialFromPhoneBook(h, 9, 1), 0);  // a storage the profile has no name for
}

TEST_F(CallExports, ForwardingAndBarringRoundTrips) {
  Bring();
  EXPECT_EQ(SetCallForwarding(h, 2, 1, 1, "+4930123456", 20), 1);
  int status = -1;
  char number[FONEXA_FORWARDING_NUMBER_SIZE] = {};
  int time = -1;
  ASSERT_EQ(GetCallForwarding(h, 2, 1, &status, number, &time), 1);
  EXPECT_EQ(status, 1);
  EXPECT_STREQ(number, "+4930123456");
  EXPECT_EQ(time, 20);
  EXPECT_EQ(SetCallBarring(h, 1, 1, "0000", 1), 1);
  ASSERT_EQ(GetCallBarring(h, 1, 1, "0000", &status), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(SetCallBarring(h, 1, 1, "0000", 0), 1);
  ASSERT_EQ(GetCallBarring(h, 1, 1, "0000", &status), 1);
  EXPECT_EQ(status, 0);
}

TEST_F(CallExports, RefusedTextsAndNullsReachNothing) {
  Bring();
  const size_t mark = Received();
  int status = 0;
  EXPECT_EQ(Dial(h, "+49170\";+CMGD=1,4"), 0);
  EXPECT_EQ(Dial(h, nullptr), 0);
  EXPECT_EQ(SetCallForwarding(h, 0, 1, 1, "12\b\b+CLCK", 0), 0);
  EXPECT_EQ(GetLock(h, 1, "12\r34", &status), 0);
  EXPECT_EQ(SetLock(h, 1, "1234;", 1), 0);
  EXPECT_EQ(ChangePin(h, 2, "1234", "12\x7f"), 0);
  EXPECT_EQ(Verify(h, "12,34", ""), 0);
  EXPECT_EQ(Verify(h, nullptr, nullptr), 0);
  EXPECT_EQ(GetCallBarring(h, 0, 1, "00\"00", &status), 0);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(Since(mark).find("AT+C"), std::string::npos);
  EXPECT_EQ(Since(mark).find("ATD"), std::string::npos);
  EXPECT_EQ(Dial(nullptr, "123"), 0);
  EXPECT_EQ(GetActivity(nullptr), -1);
  EXPECT_EQ(LoadCurrentCalls(nullptr), -1);
  EXPECT_EQ(GetNextCurrentCall(nullptr), 0);
}

// A wrong PIN brings the instance back to state 2 within the wait; the right
// one leaves it verifying until the verify thread's event brings it up.
TEST_F(CallExports, VerifyMovesTheModuleState) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  Bring(options);
  EXPECT_EQ(GetState(h, 3), 0);
  EXPECT_EQ(Verify(h, "0000", ""), 0);
  EXPECT_EQ(GetState(h, 3), 0);
  EXPECT_EQ(Verify(h, "1234", ""), 1);
  EventLog events;
  RegisterEventHandler(h, FONEXA_EVENT_MODULE_STATE, &events);
  bool ready = false;
  for (int i = 0; i < 100 && !ready; ++i) {
    ready = GetState(h, 4) == 1;
    if (!ready) std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(ready);
  EXPECT_EQ(GetVerifyStatus(h), 1);
  int status = -1;
  EXPECT_EQ(GetLock(h, 1, "1234", &status), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(ChangePin(h, 2, "1234", "4321"), 1);
  EXPECT_EQ(GetPinCounter(h), -1);  // the generic profile knows no counter
}

// The release waits for the process's call tracking; a later instance starts
// a new one.
TEST_F(CallExports, AReleaseEndsTheCallTracking) {
  Bring();
  ASSERT_EQ(GetActivity(h), 0);
  EXPECT_TRUE(fonexa::CallTracking::IsRunning());
  ReleaseGsm(h);
  h = nullptr;
  EXPECT_FALSE(fonexa::CallTracking::IsRunning());
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  ASSERT_EQ(GetActivity(h), 0);
  EXPECT_TRUE(fonexa::CallTracking::IsRunning());
}

// An application may release its instance from a handler of the dial-end or
// the call-list event, on the engine's own threads: the release is finished
// later, and nothing uses the instance after it is gone (the sanitizer build
// runs this too).
TEST_F(CallExports, ReleasedFromADialOrCallListHandler) {
  struct Releaser : IMxGsmHandler {
    int OnEvent(uint32_t, const std::string&, uint32_t) override {
      if (!handle) return 1;
      // The handle is cleared before the result publishes it: the test reads
      // it once it sees the result.
      const MxGsmHandle mine = handle;
      handle = nullptr;
      result = ReleaseGsm(mine);
      return 1;
    }
    MxGsmHandle handle = nullptr;
    std::atomic<int> result{-1};
  };
  for (const uint32_t event : {FONEXA_EVENT_DIAL_END, FONEXA_EVENT_CALL_LIST}) {
    Bring();
    Releaser releaser;
    releaser.handle = h;
    RegisterEventHandler(h, event, &releaser);
    ASSERT_EQ(Dial(h, "+4917012345"), 1);
    for (int i = 0; i < 100 && releaser.result.load() == -1; ++i) std::this_thread::sleep_for(100ms);
    EXPECT_EQ(releaser.result.load(), 1) << event;
    h = nullptr;  // released by the handler
    EXPECT_EQ(GetState(releaser.handle, 4), 0);
    // The next instance comes up once the release has finished.
    MxGsmHandle next = nullptr;
    for (int i = 0; i < 100 && !next; ++i) {
      next = CreateGsmInstance();
      if (!Initialize(next, Spec().c_str())) {
        ReleaseGsm(next);
        next = nullptr;
        std::this_thread::sleep_for(100ms);
      }
    }
    ASSERT_NE(next, nullptr) << event;
    EXPECT_EQ(GetState(next, 4), 1);
    ReleaseGsm(next);
    modem.reset();
  }
}

}  // namespace
