// The background monitor with its real timings: a cycle every five seconds,
// registration every sixth cycle.
#include <gtest/gtest.h>

#include <chrono>

#include "EventLog.h"
#include "InstanceFixture.h"
#include "fonexa/IMxGsmHandler.h"

using fonexa::sim::Direction;
using fonexa::sim::Registration;
using fonexa::testing::EventLog;
using fonexa::testing::InstanceTest;
using namespace std::chrono_literals;

namespace {

class Monitor : public InstanceTest {
 protected:
  void Bring(fonexa::sim::ModemOptions options = {}) {
    StartModem(std::move(options));
    h = CreateGsmInstance();
    ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
    ASSERT_EQ(GetState(h, 4), 1);
  }
  size_t Count(const std::string& command, size_t from = 0) const {
    const std::string in = modem->transcript().text(Direction::In);
    size_t n = 0;
    for (size_t at = in.find(command, from); at != std::string::npos; at = in.find(command, at + 1)) ++n;
    return n;
  }
  EventLog log;
};

}  // namespace

TEST_F(Monitor, WithoutRegistrationsNothingIsSent) {
  Bring();
  const size_t before = Received();
  std::this_thread::sleep_for(11s);  // two whole cycles: the silence is the result
  EXPECT_EQ(Received(), before);
}

TEST_F(Monitor, SignalEachCycleAndEachUnreadMessageOnce) {
  Bring();
  modem->setSignal(21);
  // Messages from the network are stored (and announced with +CMTI) rather
  // than handed straight to the terminal, so the monitor finds them unread.
  char answer[64];
  ASSERT_EQ(SendCustomAtCommand(h, "AT+CNMI=1,1\r", answer), 1);
  ASSERT_STREQ(answer, "\r\nOK\r\n");
  RegisterEventHandler(h, 0x80, &log);
  RegisterEventHandler(h, 0x100, &log);
  modem->injectSms("+420777123456", "Hello from the network");
  ASSERT_TRUE(log.WaitFor(0x100, 1, 20s));
  ASSERT_TRUE(log.WaitFor(0x80, 2, 20s));
  for (const auto& e : log.Of(0x80)) EXPECT_EQ(e.value, 21u);
  const auto messages = log.Of(0x100);
  ASSERT_EQ(messages.size(), 1u);  // listed once: the next cycle finds it read
  EXPECT_EQ(messages[0].text, "+420777123456#Hello from the network");
  EXPECT_GT(messages[0].value, 1600000000u);  // the service centre's time stamp
}

TEST_F(Monitor, RegistrationChangeIsReportedFromTheSecondReadingOn) {
  Bring();
  RegisterEventHandler(h, 0x200, &log);
  // The first reading, in the sixth cycle, is only a baseline.
  ASSERT_TRUE(modem->transcript().waitFor(Direction::In, "AT+CREG?\r", 75s, Received()));
  const size_t firstReading = Received();
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(log.Of(0x200).empty());
  modem->setRegistration(Registration::Roaming);
  ASSERT_TRUE(log.WaitFor(0x200, 1, 75s));
  EXPECT_EQ(log.Of(0x200)[0].value, 5u);
  EXPECT_EQ(Count("AT+CREG?\r", firstReading), 1u);  // raised by the next reading, six cycles on
}

TEST_F(Monitor, SixFailedPollsRaiseTroubleOnceAndSwitchOffStopsPolling) {
  Bring();
  RegisterEventHandler(h, 0x80, &log);
  RegisterEventHandler(h, 0x2000, &log);
  ASSERT_TRUE(log.WaitFor(0x80, 1, 20s));
  modem->setSilent(true);
  ASSERT_TRUE(log.WaitFor(0x2000, 1, 150s));
  EXPECT_EQ(log.Of(0x2000).size(), 1u);
  modem->setSilent(false);
  EXPECT_EQ(SwitchOff(h), 1);
  std::this_thread::sleep_for(1s);
  const size_t before = Received();
  std::this_thread::sleep_for(11s);
  EXPECT_EQ(Received(), before);  // the gate is closed
}
