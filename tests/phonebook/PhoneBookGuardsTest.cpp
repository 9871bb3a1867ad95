// What the phone book does not let through: caller texts that would edit the
// command line they go into, and a phone that does not stop listing entries.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedPhone.h"
#include "SimulatedPhone.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::PhoneBookEntry;
using fonexa::sim::ModemContext;
using fonexa::testing::ScriptedPhone;
using fonexa::testing::SimulatedPhone;

TEST(PhoneBookGuards, BackspacesInNumberAndNameSendNothing) {
  SimulatedPhone phone("GenericPhone");
  phone.modem->update([](ModemContext& ctx) {
    ctx.phoneBooks.find("SM")->entries[2] = {"5552", 129, "Two", std::nullopt};
  });
  // Backspace is V.250's line-editing character: these two would turn
  // AT+CPBW=5,"<number>",129,"<name>" into AT+CPBW=5;+CPBW=2;+CMGD=1,4;+CPBS="SM"
  // on a phone that honours it, deleting entry 2 and every stored message.
  const std::string number = "\x08\x08;+CPBW=2;+CMGD=1,4;+CPBS=";
  const std::string name = "\x08\x08\x08\x08\x08\x08SM";
  const size_t mark = phone.Mark();
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).WritePhoneBookEntry(5, number, name), 0);
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).WritePhoneBookEntry(5, "555\x7F", "Del"), 0);
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).WritePhoneBookEntry(-1, "555", "Tab\there"), 0);
  EXPECT_EQ(phone.ReceivedSince(mark), "");
  phone.modem->update([](ModemContext& ctx) { EXPECT_EQ(ctx.phoneBooks.find("SM")->entries.count(2), 1u); });
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).WritePhoneBookEntry(5, "+555", "Doe; J, (work)"), 1);
}

TEST(PhoneBookGuards, EndlessEntriesEndAtTheRangeAsked) {
  ScriptedPhone phone;
  phone.modem.On("AT+CPBR=1,5", "\r\n");
  phone.modem.ClearCommands();
  // A phone that answers the read with entry after entry and never an OK.
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    if (!phone.modem.WaitForCommands(1, 5000)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // after the answer's start
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    for (int i = 1; !stop && std::chrono::steady_clock::now() < until; ++i) {
      phone.modem.Send("+CPBR: " + std::to_string(i) + ",\"555\",129,\"Entry\"\r\n");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  std::vector<PhoneBookEntry> list;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 5, list), 0);
  const auto took = std::chrono::steady_clock::now() - start;
  stop = true;
  flood.join();
  EXPECT_LT(took, std::chrono::seconds(5));
  ASSERT_EQ(list.size(), 5u);  // the five asked for are kept
  EXPECT_EQ(list[4].Position, 5);
  EXPECT_EQ(phone.session.IsOpened(), 1);
}
