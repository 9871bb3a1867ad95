// The phone-book service on exact bytes: incomplete and failing answers, the
// trace of a listing, and the session's open count on every way out.
#include <gtest/gtest.h>

#include <memory>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::PhoneBookEntry;
using fonexa::testing::LogCapture;
using fonexa::testing::ScriptedPhone;

class PhoneBookOddReplies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<ScriptedPhone>(); }
  static void TearDownTestSuite() { phone.reset(); }
  static std::unique_ptr<ScriptedPhone> phone;
  fonexa::testing::ScriptedModem& modem = phone->modem;
  CMxGsmPhoneBook book{&phone->session};
  std::vector<PhoneBookEntry> list;
};

std::unique_ptr<ScriptedPhone> PhoneBookOddReplies::phone;

TEST_F(PhoneBookOddReplies, ListingAsTracedAndItsFailures) {
  LogCapture logs;
  // A name that happens to hold "ERROR" is an entry, not the final result.
  modem.On("AT+CPBR=1,2", "\r\n+CPBR: 1,\"555\",129,\"MIRROR ERRORS\"\r\n+CPBR: 2,\"556\",129,\"Doe, J\"\r\n\r\nOK\r\n");
  ASSERT_EQ(book.ReadPhoneBookEntries(1, 2, list), 1);
  EXPECT_EQ(logs.Trace(),
            "\r\n-->CMxGsmPhoneBook::ReadPhoneBookEntries(1, 2)\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Send:[AT+CPBR=1,2\r].\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Echo:[AT+CPBR=1,2\r].\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Response 1:[\r\n].\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Parse Response:\r\n"
            "+CPBR: 1,\"555\",129,\"MIRROR ERRORS\"\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Start Tokenizing.\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Finish Tokenizing[1, 555, 129, MIRROR ERRORS, ].\r\n"
            "+CPBR: 2,\"556\",129,\"Doe, J\"\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Start Tokenizing.\r\n"
            "CMxGsmPhoneBook::ReadPhoneBookEntries>>Finish Tokenizing[2, 556, 129, Doe, J, ].\r\n"
            "\r\n"
            "OK\r\n"
            "<--CMxGsmPhoneBook::ReadPhoneBookEntries>>OK.\r\n");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Name, "MIRROR ERRORS");

  // A line short of its name fails the whole read; what came before stays.
  modem.On("AT+CPBR=1,3", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n+CPBR: 2,\"556\",129\r\n");
  EXPECT_EQ(book.ReadPhoneBookEntries(1, 3, list), 0);
  EXPECT_EQ(list.size(), 1u);
  modem.On("AT+CPBR=1,4", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(book.ReadPhoneBookEntries(1, 4, list), 0);
  EXPECT_EQ(list.size(), 1u);
  modem.On("AT+CPBR=?", "\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(book.ReadPhoneBookEntries(-1, -1, list), 0);
  EXPECT_TRUE(list.empty());
  const std::string trace = logs.Trace();
  for (const char* line : {"<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR:Wrong Tokenizing:4.\r\n",
                           "<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR.\r\n",
                           "<--CMxGsmPhoneBook::GetPhoneBookInfo>>ERROR:Wrong Response 1.\r\n",
                           "<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR:Can't get phone book info.\r\n"}) {
    EXPECT_NE(trace.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST_F(PhoneBookOddReplies, StorageAnswersThatFail) {
  int used = -5;
  int total = -5;
  modem.On("AT+CPBS?", "\r\n+CPBS: \"SM\",12,250\r\n\r\nERROR\r\n");
  EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), -1);
  EXPECT_EQ(std::make_pair(used, total), std::make_pair(12, 250));  // read before the wrong final answer
  modem.On("AT+CPBS?", "\r\n+CPBS: \"SM\"\r\n");
  EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), -1);
  EXPECT_EQ(std::make_pair(used, total), std::make_pair(0, 0));
  modem.On("AT+CPBS?", "\r\n+CPBS: \"XX\",1,2\r\n\r\nOK\r\n");
  EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), -1);  // a name the profile does not know
  modem.On("AT+CPBS=\"FD\"", "\r\n+CME ERROR: 17\r\n");
  EXPECT_EQ(book.SetCurrentPhoneBookStorage(1), 0);
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST(PhoneBookSessionDiscipline, EveryWayOutLeavesTheOpenCountAsItWas) {
  ScriptedPhone phone;
  CMxGsmPhoneBook book(&phone.session);
  std::vector<PhoneBookEntry> list;
  int a = 0;
  int b = 0;
  int c = 0;
  int d = 0;
  const struct {
    const char* command;
    const char* good;
    const char* bad;  // a failure after the blank line, nothing left unread
  } kAnswers[] = {
      {"AT+CPBS?", "\r\n+CPBS: \"SM\",1,250\r\n\r\nOK\r\n", "\r\n+CPBS: \"SM\",1\r\n"},
      {"AT+CPBS=\"ME\"", "\r\nOK\r\n", "\r\n+CME ERROR: 3\r\n"},
      {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n", "\r\n+CPBR: (1-250),40,18\r\n\r\nERROR\r\n"},
      {"AT+CPBR=1,250", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n\r\nOK\r\n", "\r\n+CPBR: 1,\"555\",129\r\n"},
      {"AT+CPBW=1,\"555\",129,\"A\"", "\r\nOK\r\n", "\r\n+CME ERROR: 21\r\n"},
      {"AT+CPBW=1", "\r\nOK\r\n", "\r\nERROR\r\n"},
  };
  for (int pass = 0; pass < 3; ++pass) {
    for (const auto& row : kAnswers) phone.modem.On(row.command, pass == 0 ? row.good : pass == 1 ? row.bad : "junk\r\n");
    const int good = pass == 0 ? 1 : 0;
    EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(a, b), pass == 0 ? 0 : -1) << "pass " << pass;
    EXPECT_EQ(book.SetCurrentPhoneBookStorage(6), good) << "pass " << pass;
    EXPECT_EQ(book.GetPhoneBookInfo(a, b, c, d), good) << "pass " << pass;
    EXPECT_EQ(book.ReadPhoneBookEntries(-1, -1, list), good) << "pass " << pass;
    EXPECT_EQ(book.ReadPhoneBookEntries(1, 250, list), good) << "pass " << pass;
    EXPECT_EQ(book.WritePhoneBookEntry(1, "555", "A"), good) << "pass " << pass;
    EXPECT_EQ(book.DeletePhoneBookEntry(1), good) << "pass " << pass;
    EXPECT_EQ(book.ReadPhoneBookEntries(3, 1, list), 0);
    EXPECT_EQ(book.WritePhoneBookEntry(1, "555", "\"A\""), 0);
    ASSERT_EQ(phone.session.IsOpened(), 1) << "pass " << pass;
  }
  // One Close takes the count from 1 to 0: nothing was left open on the way.
  EXPECT_EQ(phone.session.Close(), 1);
  EXPECT_EQ(phone.session.IsOpened(), 0);
  // On a closed session an operation opens the port for itself, and closes it.
  phone.modem.On("AT+CPBR=1,250", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n\r\nOK\r\n");
  EXPECT_EQ(book.ReadPhoneBookEntries(1, 250, list), 1);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(phone.session.IsOpened(), 0);

  LogCapture logs;
  CMxGsmBasics unplugged;
  ASSERT_EQ(unplugged.Create("GenericPhone@/dev/no-such-modem"), 1);
  CMxGsmPhoneBook nowhere(&unplugged);
  EXPECT_EQ(nowhere.SetCurrentPhoneBookStorage(0), -1);
  EXPECT_EQ(nowhere.GetCurrentPhoneBookStorageInfo(a, b), -1);
  EXPECT_EQ(nowhere.ReadPhoneBookEntries(1, 2, list), 0);
  EXPECT_NE(logs.Trace().find("<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR:Can't open the port.\r\n"),
            std::string::npos);
  EXPECT_EQ(unplugged.IsOpened(), 0);
  EXPECT_EQ(CMxGsmPhoneBook(nullptr).GetCurrentPhoneBookStorageInfo(a, b), -1);
  EXPECT_EQ(CMxGsmPhoneBook(nullptr).SetCurrentPhoneBookStorage(0), 0);
}
