// A phone that falls silent in the middle of a listing, and phones that never
// do: one that lists entry after entry, one that sends codes of its own in
// place of entries. Each read ends, keeping the entries asked for that came.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::PhoneBookEntry;
using fonexa::testing::ScriptedPhone;

namespace {

// A phone that goes on sending after the start of its answer to the read:
// the n-th line it sends is line(n), every 1 ms or so, until stopped or for
// at most 50 s.
class KeepsSending {
 public:
  KeepsSending(ScriptedPhone& phone, std::function<std::string(int n)> line) {
    phone.modem.ClearCommands();
    thread_ = std::thread([this, &phone, line = std::move(line)] {
      if (!phone.modem.WaitForCommands(1, 5000)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(200));  // after the answer's start
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(50);
      for (int n = 1; !stop_ && std::chrono::steady_clock::now() < until; ++n) {
        phone.modem.Send(line(n));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  }
  ~KeepsSending() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

using Clock = std::chrono::steady_clock;

}  // namespace

TEST(PhoneBookTimeout, SilenceMidListingKeepsWhatCameAndTheOpenCount) {
  ScriptedPhone phone;
  phone.modem.On("AT+CPBR=1,250", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n+CPBR: 2,\"556\",129,\"Doe, J\"\r\n");
  std::vector<PhoneBookEntry> list;
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 250, list), 0);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Name, "Doe, J");
  EXPECT_EQ(phone.session.IsOpened(), 1);
  EXPECT_EQ(phone.session.Close(), 1);
  EXPECT_EQ(phone.session.IsOpened(), 0);  // the count was 1, as before the read
}

TEST(PhoneBookTimeout, EndlessEntriesEndAtTheRangeAsked) {
  ScriptedPhone phone;
  phone.modem.On("AT+CPBR=1,5", "\r\n");
  KeepsSending entries(phone, [](int n) { return "+CPBR: " + std::to_string(n) + ",\"555\",129,\"Entry\"\r\n"; });
  std::vector<PhoneBookEntry> list;
  const auto start = Clock::now();
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 5, list), 0);
  const auto took = Clock::now() - start;
  entries.Stop();
  EXPECT_LT(took, std::chrono::seconds(5));
  ASSERT_EQ(list.size(), 5u);  // the five asked for are kept, and no more
  EXPECT_EQ(list[4].Position, 5);
  EXPECT_EQ(phone.session.IsOpened(), 1);
}

// Codes of its own keep coming in place of entries: the read ends at its
// deadline (the gathering time and half a second for the one location asked).
TEST(PhoneBookTimeout, AnAnswerThatNeverEndsEndsAtTheDeadline) {
  ScriptedPhone phone;
  fonexa::testing::LogCapture logs;
  phone.modem.On("AT+CPBR=1,1", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n");
  KeepsSending chatter(phone, [](int) { return std::string("\r\n+CIEV: 2,3\r\n"); });
  std::vector<PhoneBookEntry> list;
  const auto start = Clock::now();
  EXPECT_EQ(CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(1, 1, list), 0);
  const auto took = Clock::now() - start;
  chatter.Stop();
  EXPECT_GE(took, std::chrono::milliseconds(30000));
  EXPECT_LT(took, std::chrono::milliseconds(33000));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Name, "A");
  EXPECT_NE(logs.Trace().find("<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR:Deadline.\r\n"), std::string::npos);
}
