// Events as they arrive from the virtual modem, through both facades: handlers
// sharing one engine registration, new messages, call changes. The background
// monitor looks for new messages every five seconds.
#include <chrono>
#include <string>
#include <thread>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"
#include "sim/codec/SmsPdu.h"

using namespace Mebrix::Fonexa;
using namespace std::chrono_literals;
using fonexa::sdktest::Event;
using fonexa::sdktest::EventLog;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

// Writes what it receives into a log shared with other handlers, marked with
// its name, so that the log shows the order of delivery.
class NamedHandler : public Events::EventHandler {
 public:
  NamedHandler(std::string name, EventLog& log) : name_(std::move(name)), log_(log) {}
  int OnEvent(uint32_t id, const char* text, uint32_t value) override {
    log_.Add(id, name_ + ":" + text, value);
    return 0;
  }

 private:
  std::string name_;
  EventLog& log_;
};

class InstanceRecorder : public Dynamic::Events::EventHandler {
 public:
  int OnEvent(uint32_t id, std::string text, uint32_t value) override {
    // The engine keeps the event it is delivering as its last one.
    const Dynamic::Events::CurrentEvent current;
    lastMatched = current.GetStringParam() == text && current.GetUintParam() == value;
    log.Add(id, std::move(text), value);
    return 0;
  }
  EventLog log;
  bool lastMatched = false;
};

using SdkInstanceEvents = VirtualPhoneTest;

class SdkStaticEvents : public VirtualPhoneTest {
 protected:
  void SetUp() override {
    StartModem();
    ASSERT_EQ(Module::Initialize(Spec().c_str()), 1);
  }
  void TearDown() override { Module::Uninitialize(); }
  // Cookies are millisecond ticks: two registrations in one tick share one.
  static void NextTick() { std::this_thread::sleep_for(2ms); }
};

TEST_F(SdkStaticEvents, TwoMessageHandlersShareOneRegistrationUntilBothAreGone) {
  EventLog log;
  NamedHandler first("first", log), second("second", log);
  const uint32_t firstCookie = Events::Register(0x100, &first);
  NextTick();
  const uint32_t secondCookie = Events::Register(0x100, &second);
  ASSERT_NE(firstCookie, secondCookie);

  modem->injectSms("+420606111222", "Meet at 5#room 2");
  ASSERT_TRUE(log.WaitFor(2));
  std::this_thread::sleep_for(300ms);  // a second engine registration would deliver twice
  auto events = log.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].text, "first:+420606111222#Meet at 5#room 2");
  EXPECT_EQ(events[1].text, "second:+420606111222#Meet at 5#room 2");
  EXPECT_EQ(events[0].value, events[1].value);
  EXPECT_GT(events[0].value, 0u);  // the time stamp

  // The event's text splits at its first "#": the rest is the message.
  const std::string text = events[0].text.substr(std::string("first:").size());
  const Events::SmsEvent message(text.c_str(), events[0].value);
  EXPECT_STREQ(message.GetSender(), "+420606111222");
  EXPECT_STREQ(message.GetText(), "Meet at 5#room 2");
  EXPECT_GE(message.GetTime().wYear, 2024);
  const Events::SmsEvent plain("no mark here", 0);
  EXPECT_STREQ(plain.GetSender(), "");
  EXPECT_STREQ(plain.GetText(), "");

  // One handler goes; the registration stays for the other.
  EXPECT_EQ(Events::Unregister(firstCookie), 0);
  modem->injectSms("+420606111222", "Second");
  ASSERT_TRUE(log.WaitFor(3));
  std::this_thread::sleep_for(300ms);
  events = log.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2].text, "second:+420606111222#Second");

  // The last one takes the engine registration with it.
  EXPECT_EQ(Events::Unregister(secondCookie), 1);
  modem->injectSms("+420606111222", "Third");
  EXPECT_FALSE(log.WaitFor(4, 11s));  // two monitor cycles
}

TEST_F(SdkStaticEvents, InitializingAgainLeavesNoRegistrationBehind) {
  EventLog before, after;
  Events::Register(0x100, [&](uint32_t id, const std::string& t, uint32_t v) { before.Add(id, t, v); });
  ASSERT_EQ(Module::Initialize(Spec().c_str()), 1);
  NextTick();
  Events::Register(0x100, [&](uint32_t id, const std::string& t, uint32_t v) { after.Add(id, t, v); });

  modem->injectSms("+420606111222", "Once");
  ASSERT_TRUE(after.WaitFor(1));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(after.Count(), 1u);
  EXPECT_EQ(before.Count(), 0u);
}

TEST_F(SdkStaticEvents, CallChangesArriveAsCallEvents) {
  EventLog log;
  Events::Register(FONEXA_EVENT_CALL_LIST, [&](uint32_t id, const std::string& t, uint32_t v) { log.Add(id, t, v); });
  modem->setDialOutcome(fonexa::sim::DialOutcome::Connect);
  ASSERT_EQ(Call::Dial("+420606111222"), 1);
  ASSERT_TRUE(log.WaitFor(1));
  const Event appeared = log.Events()[0];
  const Events::CallEvent call(appeared.text.c_str(), appeared.value);
  EXPECT_STREQ(call.GetNumber(), "+420606111222");
  EXPECT_EQ(call.GetExtendedEvent(), 1);

  ASSERT_EQ(Call::Hangup(), 1);
  bool ended = false;
  for (size_t seen = 1; !ended && log.WaitFor(seen + 1); ++seen) {
    const Event e = log.Events()[seen];
    ended = Events::CallEvent(e.text.c_str(), e.value).GetExtendedEvent() == 2;
  }
  EXPECT_TRUE(ended);

  // The value's three fields, as the call tracking packs them.
  const Events::CallEvent changed("+420606111222", 0x30201);
  EXPECT_EQ(changed.GetExtendedEvent(), 3);
  EXPECT_EQ(changed.GetOldState(), 2);
  EXPECT_EQ(changed.GetMode(), 2);
  EXPECT_EQ(changed.GetNewState(), 1);
  EXPECT_EQ(changed.GetDirection(), 1);
  EXPECT_EQ(changed.GetState(), 1);
}

TEST_F(SdkStaticEvents, AListenerForJoinedMessagesAloneHearsThem) {
  // Nobody listens for signal or new messages, and the application does not
  // talk to the phone: the monitor still reads what the phone hands over.
  EventLog log;
  Events::Register(FONEXA_EVENT_JOINED_MESSAGE, [&](uint32_t id, const std::string& t, uint32_t v) { log.Add(id, t, v); });
  modem->update([](fonexa::sim::ModemContext& ctx) { ctx.settings.cnmi.mt = 2; });
  fonexa::sim::DeliverRequest request;
  request.originator = "+4930555";
  request.text = std::string(180, 'j');
  request.concatenationReference = 21;
  const auto parts = fonexa::sim::buildDeliverParts(request);
  ASSERT_EQ(parts.size(), 2u);
  modem->update([&](fonexa::sim::ModemContext& ctx) {
    for (const auto& part : parts) ctx.centre.deliver(part);
  });
  ASSERT_TRUE(log.WaitFor(1));
  const Event joined = log.Events()[0];
  const Events::JoinedMessageEvent message(joined.text.c_str(), joined.value);
  EXPECT_STREQ(message.GetSender(), "+4930555");
  EXPECT_EQ(message.GetText(), request.text);
  EXPECT_TRUE(message.IsComplete());
}

TEST_F(SdkInstanceEvents, NewMessagesReachAPerInstanceHandlerUntilItIsUnregistered) {
  StartModem();
  Dynamic::Gsm gsm;
  ASSERT_EQ(Dynamic::Module(&gsm).Initialize(Spec()), 1);
  Dynamic::Events events(&gsm);
  InstanceRecorder handler;
  const uint32_t registration = events.Register(0x100, &handler);
  ASSERT_NE(registration, 0u);

  modem->injectSms("+420606111222", "Hi#there");
  ASSERT_TRUE(handler.log.WaitFor(1));
  const auto event = handler.log.Events()[0];
  EXPECT_EQ(event.id, 0x100u);
  EXPECT_EQ(event.text, "+420606111222#Hi#there");
  EXPECT_TRUE(handler.lastMatched);
  const Dynamic::Events::SmsEvent message(event.text, event.value);
  EXPECT_EQ(message.GetSender(), "+420606111222");
  EXPECT_EQ(message.GetText(), "Hi#there");
  EXPECT_EQ(message.GetTime(), static_cast<CTime>(event.value));

  ASSERT_EQ(events.Unregister(registration), 1);
  modem->injectSms("+420606111222", "Unheard");
  EXPECT_FALSE(handler.log.WaitFor(2, 11s));
}

}  // namespace
