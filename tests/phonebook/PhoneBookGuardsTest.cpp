// What the phone book does not let through: caller texts that would edit the
// command line they go into.
#include <gtest/gtest.h>

#include <string>

#include "SimulatedPhone.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::sim::ModemContext;
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
