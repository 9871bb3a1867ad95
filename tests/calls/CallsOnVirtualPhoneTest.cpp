// Dialling, call tracking and PIN verification against the virtual phone's
// call and SIM state machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BackgroundCalls.h"
#include "EventLog.h"
#include "SimulatedPhone.h"
#include "fonexa/CMxComPort.h"
#include "platform/Tick.h"
#include "services/CMxGsmCall.h"
#include "services/CMxGsmCallsCompare.h"
#include "services/CMxGsmProtection.h"

using fonexa::testing::EndBackgroundCalls;
using fonexa::testing::EventLog;
using fonexa::testing::SimulatedPhone;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kDialEnd = CMxGsmBasics::kEventDialEnd;
constexpr uint32_t kCallList = CMxGsmBasics::kEventCallList;

class Dialling : public ::testing::Test {
 protected:
  void SetUp() override {
    phone_ = std::make_unique<SimulatedPhone>("GenericPhone");
    phone_->modem->update([](fonexa::sim::ModemContext& ctx) {
      ctx.calls.rules.setTiming(std::chrono::milliseconds(50), std::chrono::milliseconds(100));
    });
    key_ = phone_->session.RegisterEvent(kDialEnd, &events_);
  }
  void TearDown() override {
    EndBackgroundCalls();
    phone_->session.UnregisterEvent(key_);
    phone_.reset();
  }
  CMxGsmBasics* Session() { return &phone_->session; }
  // Dials number on the dial thread and waits for the outcome.
  EventLog::Event DialAndWait(const std::string& number, std::chrono::milliseconds wait = 10s) {
    const size_t before = events_.Of(kDialEnd).size();
    EXPECT_EQ(CMxGsmCall(Session()).StartDial(number), 1);
    EXPECT_TRUE(events_.WaitFor(kDialEnd, before + 1, wait));
    const auto all = events_.Of(kDialEnd);
    return all.empty() ? EventLog::Event{0, "", 0xDEAD} : all.back();
  }

  std::unique_ptr<SimulatedPhone> phone_;
  EventLog events_;
  uint32_t key_ = 0;
};

TEST_F(Dialling, OutcomesArriveAsTheDialEndEvent) {
  struct Case {
    const char* number;
    uint32_t value;
  };
  for (const Case& c : {Case{"+4917012345", 0}, Case{"+4915550000", 1}, Case{"+4915550001", 3}}) {
    const EventLog::Event end = DialAndWait(c.number);
    EXPECT_EQ(end.text, c.number);
    EXPECT_EQ(end.value, c.value) << c.number;
    CMxGsmCall(Session()).Hangup();
  }
  phone_->modem->setDialOutcome(fonexa::sim::DialOutcome::NoDialtone);
  EXPECT_EQ(DialAndWait("+4917012345").value, 2u);
}

TEST_F(Dialling, InterruptingADialEndsItWithNoCarrier) {
  phone_->modem->update([](fonexa::sim::ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(50), std::chrono::milliseconds(5000));
  });
  ASSERT_EQ(CMxGsmCall(Session()).StartDial("+4917012345"), 1);
  ASSERT_TRUE(phone_->modem->transcript().waitFor(fonexa::sim::Direction::In, "ATD+4917012345;", 5s));
  std::this_thread::sleep_for(100ms);
  Session()->GetDevice()->GetComPort()->WriteString("A\r");
  ASSERT_TRUE(events_.WaitFor(kDialEnd, 1, 5s));
  EXPECT_EQ(events_.Of(kDialEnd).back().value, 3u);
}

// The network gives up on an unanswered call after 90 s; the dial stops
// waiting at 60 s and reports a failure.
TEST_F(Dialling, NoAnswerEndsAtTheDialTimeOut) {
  phone_->modem->update([](fonexa::sim::ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(50), std::chrono::milliseconds(100));
  });
  const uint32_t started = fonexa::platform::TickCount();
  const EventLog::Event end = DialAndWait("+4915550002", 75s);
  EXPECT_EQ(end.value, static_cast<uint32_t>(-1));
  EXPECT_GE(fonexa::platform::TickCount() - started, 59000u);
  CMxGsmCall(Session()).Hangup();
}

// One dial at a time in the process: a second one is refused while the first
// runs, from another thread, and from the dial-end handler itself.
TEST_F(Dialling, ASecondDialIsRefused) {
  phone_->modem->update([](fonexa::sim::ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(50), std::chrono::milliseconds(800));
  });
  std::atomic<int> started{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] { started += CMxGsmCall(Session()).StartDial("+4917012345"); });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(started.load(), 1);
  EXPECT_EQ(CMxGsmCall(Session()).StartDial("+4917099999"), 0);
  ASSERT_TRUE(events_.WaitFor(kDialEnd, 1, 10s));
  CMxGsmCall::WaitForDial();
  CMxGsmCall(Session()).Hangup();
  const std::string sent = phone_->modem->transcript().text(fonexa::sim::Direction::In);
  EXPECT_EQ(sent.find("ATD+4917099999"), std::string::npos);

  class RedialFromHandler : public IMxGsmHandler {
   public:
    explicit RedialFromHandler(CMxGsmBasics* session) : session_(session) {}
    int OnEvent(uint32_t, const std::string&, uint32_t) override {
      result = CMxGsmCall(session_).StartDial("+4917077777");
      return 1;
    }
    CMxGsmBasics* session_;
    std::atomic<int> result{-1};
  } redial(Session());
  const uint32_t key = Session()->RegisterEvent(kDialEnd, &redial);
  DialAndWait("+4915550000");
  CMxGsmCall::WaitForDial();
  EXPECT_EQ(redial.result.load(), 0);
  Session()->UnregisterEvent(key);
  // The flag is clear once the dial thread has delivered its event.
  EXPECT_FALSE(CMxGsmCall::IsDialling());
}

// The worked example: dialling, alerting, active, gone, with a phone that
// answers ATD at once so that the tracker sees every state.
TEST(CallTracking, EveryStateOfADialledCall) {
  SimulatedPhone phone("NokiaPhone", "nokia");
  phone.modem->update([](fonexa::sim::ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(1500), std::chrono::milliseconds(1500));
  });
  EventLog events;
  const uint32_t key = phone.session.RegisterEvent(kCallList, &events);
  const EventLog::Event none{0, "", 0};
  EventLog dialEnd;
  const uint32_t dialKey = phone.session.RegisterEvent(kDialEnd, &dialEnd);
  ASSERT_EQ(CMxGsmCall(&phone.session).StartDial("+4917012345"), 1);
  ASSERT_TRUE(dialEnd.WaitFor(kDialEnd, 1, 5s));
  ASSERT_TRUE(events.WaitFor(kCallList, 3, 10s));
  ASSERT_TRUE(phone.modem->remoteHangUp());
  ASSERT_TRUE(events.WaitFor(kCallList, 4, 5s));
  const auto seen = events.Of(kCallList);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].value, 0x10002u);
  EXPECT_EQ(seen[1].value, 0x30203u);
  EXPECT_EQ(seen[2].value, 0x30300u);
  EXPECT_EQ(seen[3].value, 0x20000u);  // voice, outgoing
  for (const auto& e : seen) EXPECT_EQ(e.text, "+4917012345");
  (void)none;
  // With no call left polling stops: no more +CLCC.
  std::this_thread::sleep_for(1s);
  const std::string in = phone.modem->transcript().text(fonexa::sim::Direction::In);
  const size_t polls = std::count(in.begin(), in.end(), '\r');
  std::this_thread::sleep_for(1500ms);
  const std::string later = phone.modem->transcript().text(fonexa::sim::Direction::In);
  EXPECT_EQ(static_cast<size_t>(std::count(later.begin(), later.end(), '\r')), polls);
  EndBackgroundCalls();
  phone.session.UnregisterEvent(key);
  phone.session.UnregisterEvent(dialKey);
}

TEST(CallTracking, NoPollingWithoutACallListHandler) {
  SimulatedPhone phone("GenericPhone");
  ASSERT_TRUE(phone.modem->ring("+4917011111"));
  const size_t mark = phone.Mark();
  EXPECT_EQ(CMxGsmCall(&phone.session).Answer(), 1);
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(phone.ReceivedSince(mark).find("AT+CLCC"), std::string::npos);
  CMxGsmCall(&phone.session).Hangup();
  EndBackgroundCalls();
}

TEST(CallTracking, AReleaseEndsTheThreadAndALaterCallStartsANewOne) {
  SimulatedPhone phone("GenericPhone");
  { CMxGsmCall call(&phone.session); }
  EXPECT_TRUE(fonexa::CallTracking::IsRunning());
  EndBackgroundCalls();
  EXPECT_FALSE(fonexa::CallTracking::IsRunning());
  { CMxGsmCall call(&phone.session); }
  EXPECT_TRUE(fonexa::CallTracking::IsRunning());
  EndBackgroundCalls();
}

class PinVerification : public ::testing::Test {
 protected:
  void SetUp() override {
    fonexa::sim::ModemOptions options;
    options.pinRequired = true;
    options.registrationDelay = 0ms;
    modem_ = std::make_unique<fonexa::sim::VirtualModem>(options);
    ASSERT_TRUE(modem_->start());
    ASSERT_EQ(session_.Create("GenericPhone@" + modem_->devicePath()), 1);
    ASSERT_EQ(session_.Initialize(), 1);
    key_ = session_.RegisterEvent(CMxGsmBasics::kEventModuleState, &events_);
  }
  void TearDown() override {
    EndBackgroundCalls();
    session_.UnregisterEvent(key_);
  }

  std::unique_ptr<fonexa::sim::VirtualModem> modem_;
  CMxGsmBasics session_;
  EventLog events_;
  uint32_t key_ = 0;
  std::vector<int> states_;
  CMxGsmProtection::ModuleStateSetter Recorder() {
    return [this](int state) { states_.push_back(state); };
  }
};

TEST_F(PinVerification, AWrongPinFailsWithinTheWait) {
  const uint32_t started = fonexa::platform::TickCount();
  EXPECT_EQ(CMxGsmProtection(&session_).StartVerify(Recorder(), "0000", ""), 0);
  EXPECT_LT(fonexa::platform::TickCount() - started, 3000u);
  EXPECT_EQ(states_, (std::vector<int>{3, 2}));
  EXPECT_EQ(CMxGsmProtection(&session_).GetVerifyStatus(), CMxGsmProtection::kStatusSimPin);
}

TEST_F(PinVerification, TheRightPinWaitsTheFullTimeAndRaisesTheModuleState) {
  const uint32_t started = fonexa::platform::TickCount();
  EXPECT_EQ(CMxGsmProtection(&session_).StartVerify(Recorder(), "1234", ""), 1);
  EXPECT_GE(fonexa::platform::TickCount() - started, 2900u);
  EXPECT_EQ(states_, (std::vector<int>{3}));
  ASSERT_TRUE(events_.WaitFor(CMxGsmBasics::kEventModuleState, 1, 5s));
  EXPECT_EQ(events_.Of(CMxGsmBasics::kEventModuleState)[0].value, 1u);
  EXPECT_EQ(CMxGsmProtection(&session_).GetVerifyStatus(), CMxGsmProtection::kStatusReady);
}

TEST_F(PinVerification, APukSetsANewPin) {
  CMxGsmProtection protection(&session_);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(protection.Verify("0000", ""), 0);
  EXPECT_EQ(protection.GetVerifyStatus(), CMxGsmProtection::kStatusSimPuk);
  EXPECT_EQ(protection.Verify("12345678", "2468"), 1);
  EXPECT_EQ(protection.GetVerifyStatus(), CMxGsmProtection::kStatusReady);
  EXPECT_EQ(protection.ChangePinCode(2, "2468", "1357"), 1);
  EXPECT_EQ(protection.ChangePinCode(2, "2468", "1357"), 0);  // the old code is gone
}

}  // namespace
