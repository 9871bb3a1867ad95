// The static facade against the virtual modem: one scenario per class, and
// what every member does before the module is initialized.
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;
using namespace std::chrono_literals;
using fonexa::sdktest::EventLog;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

class SdkStaticFacade : public VirtualPhoneTest {
 protected:
  void Bring(fonexa::sim::ModemOptions options = {}) {
    StartModem(std::move(options));
    ASSERT_EQ(Module::Initialize(Spec().c_str()), 1);
  }
  void TearDown() override { Module::Uninitialize(); }
};

// Waits until GetState(query) answers 1.
bool BecomesState(int query) {
  for (int i = 0; i < 100; ++i) {
    if (Module::GetState(query) == 1) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

TEST(SdkStaticBeforeInitialize, MembersFailAndLeaveTheCallersDataAlone) {
  EXPECT_EQ(Module::GetState(0), 0);
  EXPECT_EQ(Module::GetState(1), 0);
  EXPECT_EQ(Module::SwitchOn(), 0);
  EXPECT_EQ(Module::Attach(100), 0);
  EXPECT_EQ(Module::GetActivity(), -1);
  char text[FONEXA_IDENTITY_SIZE] = "untouched";
  EXPECT_EQ(Module::GetManufacturer(text), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(Call::Dial("+420606111222"), 0);
  EXPECT_EQ(Sms::SendMessage("+420606111222", "text"), 0);
  EXPECT_EQ(Protection::GetVerifyStatus(), 0);

  std::vector<Sms::SmsEntry> messages(1);
  EXPECT_EQ(Sms::ListMessages(4, messages), 0);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(Sms::ListMessages(4).has_value());
  std::vector<PhoneBook::PhoneBookEntry> entries(2);
  EXPECT_EQ(PhoneBook::ListEntries(-1, -1, entries), 0);
  EXPECT_EQ(entries.size(), 2u);
  std::vector<Network::NetworkEntry> operators(3);
  EXPECT_EQ(Network::ListLocalOperators(operators), 0);
  EXPECT_EQ(Network::ListWorldOperators(operators), 0);
  EXPECT_EQ(operators.size(), 3u);
  std::vector<Call::CallEntry> calls(1);
  EXPECT_EQ(Call::ListCurrentCalls(calls), 0);
  EXPECT_EQ(calls.size(), 1u);

  // The engine refuses the registration; the facade still hands out a cookie,
  // and no engine registration goes with it.
  EventLog log;
  const uint32_t cookie =
      Events::Register(0x100, [&](uint32_t id, const std::string& t, uint32_t v) { log.Add(id, t, v); });
  EXPECT_EQ(Events::Unregister(cookie), 0);
  EXPECT_EQ(Events::Unregister(cookie), 0);  // gone already
}

TEST(SdkStaticOther, NumbersAndVersionWithoutAPhone) {
  EXPECT_STREQ(Other::GetFonexaCoreVersion(), "1.3.040726");
  EXPECT_EQ(Other::CompareNumbers("+420 777 123 456", "777123456"), 1);
  EXPECT_EQ(Other::CompareNumbers("+420777123456", "+420777123457"), 0);
  char out[32];
  EXPECT_EQ(Other::CleanNumberFormat("+44 (0) 20-1234", out), 1);
  EXPECT_STREQ(out, "+44201234");
  // Without an instance there is nothing to give the code function to.
  EXPECT_EQ(Other::SetGetPinFunction([](std::string, std::string) { return std::string("1234"); }), 0);
}

TEST_F(SdkStaticFacade, ModuleReadsThePhoneAndHoldsItsLock) {
  EXPECT_EQ(Module::GetState(0), 0);
  Bring();
  EXPECT_EQ(Module::GetState(0), 1);
  EXPECT_EQ(Module::GetState(4), 1);
  EXPECT_EQ(Module::GetActivity(), 0);
  char text[FONEXA_CUSTOM_RESPONSE_SIZE] = {};
  ASSERT_EQ(Module::GetManufacturer(text), 1);
  EXPECT_NE(std::strstr(text, "Fonexa"), nullptr);
  ASSERT_EQ(Module::GetModel(text), 1);
  EXPECT_NE(std::strstr(text, "VM-900"), nullptr);
  ASSERT_EQ(Module::GetImei(text), 1);
  EXPECT_NE(std::strstr(text, "490154203237518"), nullptr);
  ASSERT_EQ(Module::SetTime("26/01/02,03:04:05+00"), 1);
  ASSERT_EQ(Module::GetTime(text), 1);
  EXPECT_EQ(std::string(text).substr(0, 8), "26/01/02");
  ASSERT_EQ(Module::SendCustomAtCommand("AT+CGMI\r", text), 1);
  EXPECT_NE(std::strstr(text, "Fonexa"), nullptr);

  EXPECT_EQ(Module::Attach("", 1000), 1);
  EXPECT_EQ(Module::Detach(), 1);
  EXPECT_EQ(Module::Attach(1000), 1);
  EXPECT_EQ(Module::Detach(), 1);

  // Switched off, the phone refuses the lock and with it every request.
  ASSERT_EQ(Module::SwitchOff(), 1);
  EXPECT_EQ(Module::GetState(4), 0);
  EXPECT_EQ(Module::GetManufacturer(text), 0);
  EXPECT_EQ(Module::Attach(100), 0);
  ASSERT_EQ(Module::SwitchOn(), 1);
  EXPECT_TRUE(BecomesState(4));
  EXPECT_EQ(Module::GetManufacturer(text), 1);
}

TEST_F(SdkStaticFacade, ModuleStateHandlersAreToldAtOnceAndAtUninitialize) {
  Bring();
  EventLog first, second;
  Events::Register(0x1000, [&](uint32_t id, const std::string& t, uint32_t v) { first.Add(id, t, v); });
  // The engine told the first handler; the second joins the facade's
  // registration and is told from the state the facade kept.
  ASSERT_EQ(first.Count(), 1u);
  EXPECT_EQ(first.Events()[0].value, 1u);
  Events::Register(0x1000, [&](uint32_t id, const std::string& t, uint32_t v) { second.Add(id, t, v); });
  ASSERT_EQ(second.Count(), 1u);
  EXPECT_EQ(second.Events()[0], (fonexa::sdktest::Event{0x1000, "", 1}));

  Module::Uninitialize();
  EXPECT_EQ(Module::GetState(0), 0);
  ASSERT_EQ(first.Count(), 2u);
  ASSERT_EQ(second.Count(), 2u);
  EXPECT_EQ(first.Events()[1], (fonexa::sdktest::Event{0x1000, "", 0}));
  EXPECT_EQ(second.Events()[1], (fonexa::sdktest::Event{0x1000, "", 0}));
  // The facade is back at its start: nothing is registered any more.
  EXPECT_EQ(Events::Unregister(12345), 0);
}

TEST_F(SdkStaticFacade, CallDialsListsForwardsAndBars) {
  Bring();
  modem->setDialOutcome(fonexa::sim::DialOutcome::Connect);
  EventLog dialEnds;
  Events::Register(FONEXA_EVENT_DIAL_END,
                   [&](uint32_t id, const std::string& t, uint32_t v) { dialEnds.Add(id, t, v); });
  ASSERT_EQ(Call::Dial("+420606111222"), 1);
  ASSERT_TRUE(dialEnds.WaitFor(1));
  EXPECT_EQ(dialEnds.Events()[0], (fonexa::sdktest::Event{FONEXA_EVENT_DIAL_END, "+420606111222", 0}));

  const auto calls = Call::ListCurrentCalls();
  ASSERT_TRUE(calls.has_value());
  ASSERT_EQ(calls->size(), 1u);
  EXPECT_STREQ((*calls)[0].GetPhoneNumber(), "+420606111222");
  EXPECT_EQ((*calls)[0].GetDirection(), 0);  // placed by this phone
  EXPECT_EQ((*calls)[0].GetState(), 0);      // active
  EXPECT_EQ((*calls)[0].GetType(), 145);
  EXPECT_EQ(Module::GetActivity(), 4);
  ASSERT_EQ(Call::Hangup(), 1);
  std::vector<Call::CallEntry> none(1);
  ASSERT_EQ(Call::ListCurrentCalls(none), 1);
  EXPECT_TRUE(none.empty());

  int status = -1, time = 0;
  char number[FONEXA_FORWARDING_NUMBER_SIZE] = {};
  ASSERT_EQ(Call::SetCallForwarding(2, 1, 1, "+4930123456", 20), 1);
  ASSERT_EQ(Call::GetCallForwarding(2, 1, status, number, time), 1);
  EXPECT_EQ(status, 1);
  EXPECT_STREQ(number, "+4930123456");
  EXPECT_EQ(time, 20);
  ASSERT_EQ(Call::SetCallForwarding(2, 1, 0), 1);
  ASSERT_EQ(Call::GetCallForwarding(2, 1, status), 1);
  EXPECT_EQ(status, 0);

  ASSERT_EQ(Call::SetCallBarring(1, 1, "0000", 1), 1);
  ASSERT_EQ(Call::GetCallBarring(1, 1, status), 1);
  EXPECT_EQ(status, 1);
  ASSERT_EQ(Call::SetCallBarring(1, 1, "0000", 0), 1);
  ASSERT_EQ(Call::GetCallBarring(1, 1, "0000", status), 1);
  EXPECT_EQ(status, 0);
  // A wrong barring password changes nothing.
  EXPECT_EQ(Call::SetCallBarring(1, 1, "9999", 1), 0);
}

TEST_F(SdkStaticFacade, SmsStoresListsSendsAndKeepsTheArrayWhenTheListFails) {
  StartModem();
  // Before the engine asks for new messages to be shown at once, the phone
  // stores what arrives.
  modem->injectSms("+420777000111", "Received one");
  ASSERT_EQ(Module::Initialize(Spec().c_str()), 1);
  char centre[FONEXA_SERVICE_CENTER_SIZE] = {};
  int type = 0;
  ASSERT_EQ(Sms::SetServiceCenter("+420603052000"), 1);
  ASSERT_EQ(Sms::GetServiceCenter(centre, type), 1);
  EXPECT_STREQ(centre, "\"+420603052000\"");  // as the phone quotes it
  EXPECT_EQ(type, 145);

  const int index = Sms::WriteMessage("+420606111222", "Stored for later");
  ASSERT_GT(index, 0);
  Sms::SmsEntry entry;
  ASSERT_EQ(Sms::ReadMessage(index, entry), 1);
  EXPECT_EQ(entry.GetIndex(), index);
  EXPECT_EQ(entry.GetTime().wYear, 0);  // an outgoing message has no time stamp
  EXPECT_EQ(entry.GetState(), 2);       // stored, not sent
  EXPECT_STREQ(entry.GetPhoneNumber(), "+420606111222");
  EXPECT_STREQ(entry.GetMessageText(), "Stored for later");
  // A location with nothing in it leaves the entry as it was.
  EXPECT_EQ(Sms::ReadMessage(index + 7, entry), 0);
  EXPECT_STREQ(entry.GetMessageText(), "Stored for later");

  int storage = -1, used = -1, total = -1;
  ASSERT_EQ(Sms::GetStorage(storage, used, total), 1);
  EXPECT_EQ(used, 2);
  EXPECT_GT(total, used);

  std::string text;
  while (text.size() < 300) text += "A long text goes out in concatenated parts. ";
  ASSERT_EQ(Sms::SendMessageA("+420606111222", text.c_str()), 1);
  EXPECT_GT(modem->sentMessages().size(), 1u);
  EXPECT_EQ(SentText(), text);
  ASSERT_EQ(Sms::SendFlashMessage("+420606111222", "Now"), 1);
  EXPECT_EQ(modem->sentMessages().back().messageClass, 0);

  std::vector<Sms::SmsEntry> all;
  ASSERT_EQ(Sms::ListMessages(4, all), 1);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0].GetMessageText(), "Received one");
  EXPECT_STREQ(all[1].GetMessageText(), "Stored for later");
  const SYSTEMTIME stamp = all[0].GetTime();
  EXPECT_GE(stamp.wYear, 2024);
  EXPECT_GE(stamp.wMonth, 1);

  ASSERT_EQ(Sms::DeleteMessage(index), 1);
  const auto left = Sms::ListMessages(4);
  ASSERT_TRUE(left.has_value());
  ASSERT_EQ(left->size(), 1u);
  EXPECT_STREQ((*left)[0].GetPhoneNumber(), "+420777000111");

  // A phone that stops answering fails the list; the array keeps what it had.
  modem->setSilent(true);
  EXPECT_EQ(Sms::ListMessages(4, all), 0);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0].GetMessageText(), "Received one");
  modem->setSilent(false);
}

TEST_F(SdkStaticFacade, PhoneBookWritesReadsListsAndDeletes) {
  Bring();
  ASSERT_EQ(PhoneBook::SetStorage(0), 1);
  int used = -1, total = -1;
  EXPECT_EQ(PhoneBook::GetStorage(used, total), 0);  // "SM"
  EXPECT_EQ(used, 0);
  int first = 0, last = 0, numberLength = 0, textLength = 0;
  ASSERT_EQ(PhoneBook::GetRangeInfo(first, last, numberLength, textLength), 1);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, total);
  EXPECT_GT(numberLength, 0);

  ASSERT_EQ(PhoneBook::WriteEntry(5, "+420606111222", "Alice"), 1);
  ASSERT_EQ(PhoneBook::WriteEntry(7, "606111333", "Bob"), 1);
  PhoneBook::PhoneBookEntry entry;
  ASSERT_EQ(PhoneBook::ReadEntry(5, entry), 1);
  EXPECT_EQ(entry.GetPosition(), 5);
  EXPECT_STREQ(entry.GetPhoneNumber(), "+420606111222");
  EXPECT_EQ(entry.GetType(), 145);
  EXPECT_STREQ(entry.GetName(), "Alice");
  EXPECT_EQ(entry.GetTime(), 0.0);  // the user's books carry no time

  const auto all = PhoneBook::ListEntries(-1, -1);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  EXPECT_STREQ((*all)[1].GetName(), "Bob");
  std::vector<PhoneBook::PhoneBookEntry> some;
  ASSERT_EQ(PhoneBook::ListEntries(6, 9, some), 1);
  ASSERT_EQ(some.size(), 1u);
  EXPECT_EQ(some[0].GetPosition(), 7);

  ASSERT_EQ(PhoneBook::DeleteEntry(5), 1);
  EXPECT_EQ(PhoneBook::ReadEntry(5, entry), 0);
  EXPECT_STREQ(entry.GetName(), "Alice");  // untouched
}

TEST_F(SdkStaticFacade, NetworkReportsSignalRegistrationAndOperators) {
  Bring();
  modem->setSignal(17, 2);
  int rssi = -1, ber = -1, stat = -1;
  ASSERT_EQ(Network::GetSignalQuality(rssi, ber), 1);
  EXPECT_EQ(rssi, 17);
  EXPECT_EQ(ber, 2);
  ASSERT_EQ(Network::GetSignalQuality(rssi), 1);
  EXPECT_EQ(rssi, 17);
  ASSERT_EQ(Network::GetRegistrationStatus(stat), 1);
  EXPECT_EQ(stat, 1);

  Network::NetworkEntry current;
  ASSERT_EQ(Network::GetCurrentOperator(current), 1);
  EXPECT_STRNE(current.GetName(), "");
  const auto local = Network::ListLocalOperators();
  ASSERT_TRUE(local.has_value());
  ASSERT_FALSE(local->empty());
  std::vector<Network::NetworkEntry> world;
  ASSERT_EQ(Network::ListWorldOperators(world), 1);
  EXPECT_FALSE(world.empty());

  int other = -1;
  for (const auto& entry : *local) {
    if (entry.GetState() != 2 && entry.GetState() != 3 && entry.GetCodeNumber() > 0) other = entry.GetCodeNumber();
  }
  if (other > 0) {
    ASSERT_EQ(Network::SetManualOperator(other), 1);
    Network::NetworkEntry chosen;
    ASSERT_EQ(Network::GetCurrentOperator(chosen), 1);
    EXPECT_EQ(chosen.GetMode(), 1);  // manual
  }
  EXPECT_EQ(Network::SetAutomaticOperator(), 1);
}

TEST_F(SdkStaticFacade, ProtectionVerifiesLocksAndChangesThePin) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  Bring(options);
  EXPECT_EQ(Protection::GetVerifyStatus(), 2);  // SIM PIN
  EXPECT_EQ(Protection::Verify("0000"), 0);
  EXPECT_EQ(Protection::Verify("1234"), 1);
  EXPECT_TRUE(BecomesState(4));
  EXPECT_EQ(Protection::GetVerifyStatus(), 1);
  EXPECT_EQ(Protection::GetPinCounter(), -1);  // the generic phone has no counter

  int status = -1;
  ASSERT_EQ(Protection::GetLock(1, "1234", status), 1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Protection::ChangePin(2, "1234", "4321"), 1);
  EXPECT_EQ(Protection::ChangePin(2, "1234", "5555"), 0);  // the old PIN no longer holds
  ASSERT_EQ(Protection::SetLock(1, "4321", 0), 1);
  ASSERT_EQ(Protection::GetLock(1, "4321", status), 1);
  EXPECT_EQ(status, 0);
}

std::vector<std::string> asked;

TEST_F(SdkStaticFacade, AutoVerifyAsksTheApplicationsCodeFunction) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  Bring(options);
  asked.clear();
  ASSERT_EQ(Other::SetGetPinFunction([](std::string caption, std::string) {
              asked.push_back(caption);
              return std::string("1234");
            }),
            1);
  EXPECT_EQ(Protection::AutoVerify(), 1);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked[0], "Enter PIN code");
  EXPECT_TRUE(BecomesState(4));
}

}  // namespace
