// The per-instance facade against the virtual modem: Gsm objects one after the
// other, one scenario per service class, and what a null Gsm gives.
#include <chrono>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;
using namespace std::chrono_literals;
using fonexa::sdktest::EventLog;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

static_assert(!std::is_copy_constructible_v<Dynamic::Gsm> && !std::is_copy_assignable_v<Dynamic::Gsm>,
              "a copied Gsm would release its instance twice");
static_assert(std::is_nothrow_move_constructible_v<Dynamic::Gsm> && std::is_nothrow_move_assignable_v<Dynamic::Gsm>);

class Recorder : public Dynamic::Events::EventHandler {
 public:
  int OnEvent(uint32_t id, std::string text, uint32_t value) override {
    log.Add(id, std::move(text), value);
    return 0;
  }
  EventLog log;
};

bool BecomesReady(Dynamic::Module& module) {
  for (int i = 0; i < 100; ++i) {
    if (module.GetState(4) == 1) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

using SdkDynamicFacade = VirtualPhoneTest;

TEST(SdkDynamicNull, ServicesFromANullGsmFail) {
  Dynamic::Module module(nullptr);
  EXPECT_EQ(module.SwitchOn(), 0);
  EXPECT_EQ(module.GetState(0), 0);
  EXPECT_EQ(module.Initialize("GenericPhone@/dev/null"), 0);
  EXPECT_EQ(module.GetManufacturer(), "");
  EXPECT_EQ(module.GetSimId(), "");
  EXPECT_EQ(module.Attach("", 10), 0);
  EXPECT_EQ(Dynamic::Call(nullptr).GetLastCallDuration(), "");
  EXPECT_FALSE(Dynamic::Call(nullptr).ListCurrentCalls().has_value());
  std::string number = "kept";
  int type = 0;
  EXPECT_EQ(Dynamic::Sms(nullptr).GetServiceCenter(number, type), 0);
  EXPECT_EQ(number, "kept");
  std::vector<Dynamic::PhoneBook::PhoneBookEntry> entries(1);
  EXPECT_EQ(Dynamic::PhoneBook(nullptr).ListEntries(-1, -1, entries), 0);
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(Dynamic::Protection(nullptr).Verify("1234"), 0);
  Recorder handler;
  EXPECT_EQ(Dynamic::Events(nullptr).Register(0x100, &handler), 0u);
  EXPECT_EQ(Dynamic::Gsm::GetFonexaCoreVersion(), "1.3.040726");
}

TEST_F(SdkDynamicFacade, TwoGsmObjectsOneAfterTheOther) {
  StartModem();
  int index = 0;
  {
    Dynamic::Gsm gsm;
    ASSERT_NE(gsm(), nullptr);
    Dynamic::Module module(&gsm);
    ASSERT_EQ(module.Initialize(Spec()), 1);
    EXPECT_EQ(module.GetState(0), 1);
    EXPECT_NE(module.GetManufacturer().find("Fonexa"), std::string::npos);
    index = Dynamic::Sms(&gsm).WriteMessage("+420606111222", "From the first instance");
    ASSERT_GT(index, 0);
  }
  Dynamic::Gsm gsm;
  Dynamic::Module module(&gsm);
  ASSERT_EQ(module.Initialize(Spec()), 1);
  EXPECT_EQ(module.GetState(4), 1);
  Dynamic::Sms::SmsEntry entry;
  ASSERT_EQ(Dynamic::Sms(&gsm).ReadMessage(index, entry), 1);
  EXPECT_EQ(entry.GetMessageText(), "From the first instance");
  EXPECT_EQ(entry.GetPhoneNumber(), "+420606111222");
}

TEST_F(SdkDynamicFacade, AMovedGsmHandsOnItsInstanceAndReleasesItOnce) {
  StartModem();
  Dynamic::Gsm first;
  const MxGsmHandle instance = first.GetGsm();
  ASSERT_NE(instance, nullptr);
  Dynamic::Gsm second(std::move(first));
  EXPECT_EQ(first.GetGsm(), nullptr);
  EXPECT_EQ(second.GetGsm(), instance);
  EXPECT_EQ(Dynamic::Module(&first).GetState(0), 0);
  ASSERT_EQ(Dynamic::Module(&second).Initialize(Spec()), 1);

  first = std::move(second);
  EXPECT_EQ(second.GetGsm(), nullptr);
  EXPECT_EQ(first.GetGsm(), instance);
  EXPECT_NE(Dynamic::Module(&first).GetImei().find("490154203237518"), std::string::npos);
}

TEST_F(SdkDynamicFacade, ModuleTextsAreEmptyWhenTheLockIsRefused) {
  StartModem();
  Dynamic::Gsm gsm;
  Dynamic::Module module(&gsm);
  ASSERT_EQ(module.Initialize(Spec()), 1);
  EXPECT_NE(module.GetModel().find("VM-900"), std::string::npos);
  EXPECT_EQ(module.GetSimId(), "");  // the generic phone's profile reads no SIM id
  ASSERT_EQ(module.SetTime("26/05/06,07:08:09+00"), 1);
  EXPECT_EQ(module.GetTime().substr(0, 8), "26/05/06");
  EXPECT_EQ(module.Attach(std::string(), 1000), 1);
  EXPECT_EQ(module.Detach(), 1);

  ASSERT_EQ(module.SwitchOff(), 1);
  EXPECT_EQ(module.GetManufacturer(), "");
  EXPECT_EQ(module.GetTime(), "");
  ASSERT_EQ(module.SwitchOn(), 1);
  ASSERT_TRUE(BecomesReady(module));
  EXPECT_NE(module.GetManufacturer().find("Fonexa"), std::string::npos);
}

TEST_F(SdkDynamicFacade, CallSmsPhoneBookNetworkAndProtectionForwardWithTheirInstance) {
  StartModem();
  modem->injectSms("+420777000111", "Hello");  // stored: the engine is not there yet
  Dynamic::Gsm gsm;
  ASSERT_EQ(Dynamic::Module(&gsm).Initialize(Spec()), 1);

  Dynamic::Call call(&gsm);
  std::string number;
  int status = -1, time = 0;
  ASSERT_EQ(call.SetCallForwarding(0, 1, 1, std::string("+4930123456")), 1);
  ASSERT_EQ(call.GetCallForwarding(0, 1, status, number, time), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(number, "+4930123456");
  ASSERT_EQ(call.SetCallBarring(3, 1, std::string("0000"), 1), 1);  // all incoming
  ASSERT_EQ(call.GetCallBarring(3, 1, status), 1);
  EXPECT_EQ(status, 1);
  modem->setDialOutcome(fonexa::sim::DialOutcome::Connect);
  ASSERT_EQ(call.Dial("+420606111222"), 1);
  std::vector<Dynamic::Call::CallEntry> calls;
  for (int i = 0; i < 50 && calls.empty(); ++i) {
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(call.ListCurrentCalls(calls), 1);
  }
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].GetPhoneNumber(), "+420606111222");
  ASSERT_EQ(call.Hangup(), 1);

  Dynamic::Sms sms(&gsm);
  ASSERT_EQ(sms.SetServiceCenter("+420603052000"), 1);
  int type = 0;
  ASSERT_EQ(sms.GetServiceCenter(number, type), 1);
  EXPECT_EQ(number, "\"+420603052000\"");
  ASSERT_EQ(sms.SendMessage("+420606111222", "Short one"), 1);
  EXPECT_EQ(SentText(), "Short one");
  const auto messages = sms.ListMessages(4);
  ASSERT_TRUE(messages.has_value());
  ASSERT_EQ(messages->size(), 1u);
  EXPECT_EQ((*messages)[0].GetMessageText(), "Hello");
  EXPECT_GT((*messages)[0].GetTime(), 1700000000);  // seconds since 1970, recent

  Dynamic::PhoneBook book(&gsm);
  ASSERT_EQ(book.SetStorage(0), 1);
  ASSERT_EQ(book.WriteEntry(3, "+420606111222", "Carol"), 1);
  Dynamic::PhoneBook::PhoneBookEntry entry;
  ASSERT_EQ(book.ReadEntry(3, entry), 1);
  EXPECT_EQ(entry.GetName(), "Carol");
  const auto entries = book.ListEntries(-1, -1);
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(entries->size(), 1u);

  Dynamic::Network network(&gsm);
  int rssi = -1, stat = -1;
  EXPECT_EQ(network.GetSignalQuality(rssi), 1);
  EXPECT_GE(rssi, 0);
  EXPECT_EQ(network.GetRegistrationStatus(stat), 1);
  EXPECT_EQ(stat, 1);
  Dynamic::Network::NetworkEntry current;
  ASSERT_EQ(network.GetCurrentOperator(current), 1);
  EXPECT_FALSE(current.GetName().empty());
  EXPECT_TRUE(network.ListLocalOperators().has_value());

  Dynamic::Protection protection(&gsm);
  EXPECT_EQ(protection.GetVerifyStatus(), 1);
  ASSERT_EQ(protection.GetLock(1, "1234", status), 1);
  EXPECT_EQ(status, 0);  // this SIM asks for no PIN at power-up
  ASSERT_EQ(protection.SetLock(1, "1234", 1), 1);
  EXPECT_EQ(protection.ChangePin(2, "1234", "4321"), 1);

  // A phone that stops answering: the service centre is not assigned.
  modem->setSilent(true);
  number = "kept";
  EXPECT_EQ(sms.GetServiceCenter(number, type), 0);
  EXPECT_EQ(number, "kept");
  modem->setSilent(false);
}

TEST_F(SdkDynamicFacade, AHandlerIsItsOwnRegistration) {
  StartModem();
  Dynamic::Gsm gsm;
  ASSERT_EQ(Dynamic::Module(&gsm).Initialize(Spec()), 1);
  Dynamic::Events events(&gsm);
  Recorder state;
  const uint32_t registration = events.Register(0x1000, &state);
  EXPECT_NE(registration, 0u);
  ASSERT_EQ(state.log.Count(), 1u);  // told the state at once
  EXPECT_EQ(state.log.Events()[0], (fonexa::sdktest::Event{0x1000, "", 1}));
  EXPECT_EQ(events.Unregister(registration), 1);
  EXPECT_EQ(events.Unregister(registration), 0);

  // A window hears of the state as event message 0x511.
  struct Inbox {
    std::vector<std::pair<uint32_t, uintptr_t>> messages;
    static intptr_t Procedure(MxWindow, uint32_t message, uintptr_t wParam, intptr_t, void* context) {
      static_cast<Inbox*>(context)->messages.emplace_back(message, wParam);
      return 1;
    }
  } inbox;
  MxWindow window = MxCreateWindow(Inbox::Procedure, &inbox);
  const uint32_t windowRegistration = events.Register(0x1000, window);
  EXPECT_NE(windowRegistration, 0u);
  ASSERT_FALSE(inbox.messages.empty());
  EXPECT_EQ(inbox.messages[0], std::make_pair(Dynamic::Events::GsmEventMessage, uintptr_t{0x1000}));
  events.Unregister(windowRegistration);
  MxDestroyWindow(window);
}

}  // namespace
