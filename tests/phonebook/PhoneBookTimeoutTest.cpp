// A phone that falls silent in the middle of a listing, and one that never does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmPhoneBook.h"

TEST(PhoneBookTimeout, SilenceMidListingKeepsWhatCameAndTheOpenCount) {
  fonexa::testing::ScriptedPhone phone;
  phone.modem.On("AT+CPBR=1,250", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n+CPBR: 2,\"556\",129,\"Doe, J\"\r\n");
  std::vector<fonexa::PhoneBookEntry> list;
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 250, list), 0);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Name, "Doe, J");
  EXPECT_EQ(phone.session.IsOpened(), 1);
  EXPECT_EQ(phone.session.Close(), 1);
  EXPECT_EQ(phone.session.IsOpened(), 0);  // the count was 1, as before the read
}

// A phone that never falls silent and never ends its answer: codes of its own
// keep coming in place of entries. The read ends at its deadline (the
// gathering time and half a second for the one location asked), keeping
// the entry that came.
TEST(PhoneBookTimeout, AnAnswerThatNeverEndsEndsAtTheDeadline) {
  fonexa::testing::ScriptedPhone phone;
  fonexa::testing::LogCapture logs;
  phone.modem.On("AT+CPBR=1,1", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n");
  phone.modem.ClearCommands();
  std::atomic<bool> stop{false};
  std::thread chatter([&] {
    if (!phone.modem.WaitForCommands(1, 5000)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // after the answer's start
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    while (!stop && std::chrono::steady_clock::now() < until) {
      phone.modem.Send("\r\n+CIEV: 2,3\r\n");
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::vector<fonexa::PhoneBookEntry> list;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 1, list), 0);
  const auto took = std::chrono::steady_clock::now() - start;
  stop = true;
  chatter.join();
  EXPECT_GE(took, std::chrono::milliseconds(30000));
  EXPECT_LT(took, std::chrono::milliseconds(33000));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Name, "A");
  EXPECT_NE(logs.Trace().find("<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR:Deadline.\r\n"), std::string::npos);
}
