// The phone-book service against the virtual phone, through the real plug-ins.
#include <gtest/gtest.h>

#include <memory>

#include "SessionFixture.h"
#include "SimulatedPhone.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::PhoneBookEntry;
using fonexa::sim::ModemContext;
using fonexa::testing::LogCapture;
using fonexa::testing::SimulatedPhone;

namespace {

// The SIM phone book's entries as the phone holds them: number, type, name.
void FillSimBook(SimulatedPhone& phone, int count) {
  phone.modem->update([count](ModemContext& ctx) {
    auto& entries = ctx.phoneBooks.find("SM")->entries;
    entries.clear();
    for (int i = 1; i <= count; ++i) {
      const std::string name = i % 7 == 0 ? "Smith, \"Bob\" " + std::to_string(i)
                               : i % 5 == 0 ? "Doe, John " + std::to_string(i)
                                            : "Contact " + std::to_string(i);
      entries[i] = {(i % 2 ? "+4917" : "030") + std::to_string(1000000 + i), i % 2 ? 145 : 129, name, {}};
    }
  });
}

}  // namespace

class PhoneBookOnPhone : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<SimulatedPhone>("GenericPhone"); }
  static void TearDownTestSuite() { phone.reset(); }
  void SetUp() override { FillSimBook(*phone, 0); }

  static std::unique_ptr<SimulatedPhone> phone;
  CMxGsmPhoneBook book{&phone->session};
  std::vector<PhoneBookEntry> list;
};

std::unique_ptr<SimulatedPhone> PhoneBookOnPhone::phone;

TEST_F(PhoneBookOnPhone, WriteReadAndDelete) {
  size_t mark = phone->Mark();
  EXPECT_EQ(book.WritePhoneBookEntry(5, "0301234", "Doe, John"), 1);
  EXPECT_EQ(book.WritePhoneBookEntry(-1, "+123", "Home"), 1);  // the first free location: 1
  EXPECT_EQ(book.WritePhoneBookEntry(6, "+4930", ""), 1);     // a number without a name is kept
  EXPECT_EQ(phone->ReceivedSince(mark),
            "AT+CPBW=5,\"0301234\",129,\"Doe, John\"\r"
            "AT+CPBW=,\"+123\",145,\"Home\"\r"
            "AT+CPBW=6,\"+4930\",145,\"\"\r");

  // Texts that would break out of their quotation marks are never sent.
  mark = phone->Mark();
  EXPECT_EQ(book.WritePhoneBookEntry(7, "555", "Bob \"the\" Boss"), 0);
  EXPECT_EQ(book.WritePhoneBookEntry(7, "555\",129,\"x", "Bob"), 0);
  EXPECT_EQ(book.WritePhoneBookEntry(7, "555", "Bob\rATZ"), 0);
  EXPECT_EQ(book.DeletePhoneBookEntry(-1), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");

  ASSERT_EQ(book.ReadPhoneBookEntries(1, 10, list), 1);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Position, 1);
  EXPECT_EQ(list[0].PhoneNumber, "+123");
  EXPECT_EQ(list[0].Type, 145);
  EXPECT_EQ(list[0].Name, "Home");
  EXPECT_EQ(list[1].Name, "Doe, John");
  EXPECT_EQ(list[2].PhoneNumber, "+4930");
  EXPECT_EQ(list[2].Name, "");

  mark = phone->Mark();
  EXPECT_EQ(book.DeletePhoneBookEntry(5), 1);
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+CPBW=5\r");
  int used = 0;
  int total = 0;
  EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), 0);  // "SM"
  EXPECT_EQ(std::make_pair(used, total), std::make_pair(2, 250));
  EXPECT_EQ(book.WritePhoneBookEntry(300, "555", "Nowhere"), 0);  // +CME ERROR: invalid index
  EXPECT_EQ(phone->session.IsOpened(), 1);
}

TEST_F(PhoneBookOnPhone, RangesAsAskedAndAsThePhoneReportsThem) {
  LogCapture logs;
  int first = 0;
  int last = 0;
  int numberLength = 0;
  int textLength = 0;
  EXPECT_EQ(book.GetPhoneBookInfo(first, last, numberLength, textLength), 1);
  EXPECT_EQ((std::vector<int>{first, last, numberLength, textLength}), (std::vector<int>{1, 250, 40, 18}));

  size_t mark = phone->Mark();
  EXPECT_EQ(book.ReadPhoneBookEntries(5, 3, list), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
  EXPECT_NE(logs.Trace().find("<--CMxGsmPhoneBook::ReadPhoneBookEntries>>ERROR VAL:[5,3]\r\n"), std::string::npos);

  FillSimBook(*phone, 20);
  mark = phone->Mark();
  ASSERT_EQ(book.ReadPhoneBookEntries(-1, 10, list), 1);  // -1: the whole range, not up to 10
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+CPBR=?\rAT+CPBR=1,250\r");
  EXPECT_EQ(list.size(), 20u);
  ASSERT_EQ(book.ReadPhoneBookEntries(7, 7, list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Name, "Smith, \"Bob\" 7");
  EXPECT_EQ(book.ReadPhoneBookEntries(251, 251, list), 0);  // outside the storage: +CME ERROR
  EXPECT_TRUE(list.empty());
}

TEST_F(PhoneBookOnPhone, AFullSimPhoneBookReadWhole) {
  FillSimBook(*phone, 250);
  ASSERT_EQ(book.ReadPhoneBookEntries(-1, -1, list), 1);
  ASSERT_EQ(list.size(), 250u);
  phone->modem->update([&](ModemContext& ctx) {
    for (const auto& [index, stored] : ctx.phoneBooks.find("SM")->entries) {
      const PhoneBookEntry& read = list[static_cast<size_t>(index - 1)];
      EXPECT_EQ(read.Position, index);
      EXPECT_EQ(read.PhoneNumber, stored.number);
      EXPECT_EQ(read.Type, stored.type);
      EXPECT_EQ(read.Name, stored.text);
    }
  });
}

TEST(PhoneBookStorages, EachPluginSelectsByItsOwnNames) {
  const struct {
    const char* plugin;
    const char* profile;
    const char* dialled;  // the name of storage 2, dialled numbers
    bool ownNumbers;      // whether storage 5 has a name
  } kPhones[] = {
      {"GenericPhone", "generic", "LD", true},
      {"MotorolaPhone", "motorola", "DC", true},
      {"NokiaPhone", "nokia", "DC", true},
      {"EricssonPhone", "ericsson", "DC", false},
  };
  for (const auto& p : kPhones) {
    SimulatedPhone phone(p.plugin, p.profile);
    CMxGsmPhoneBook book(&phone.session);
    int used = 0;
    int total = 0;
    size_t mark = phone.Mark();
    EXPECT_EQ(book.SetCurrentPhoneBookStorage(2), 1) << p.plugin;
    EXPECT_EQ(phone.ReceivedSince(mark), std::string("AT+CPBS=\"") + p.dialled + "\"\r") << p.plugin;
    EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), 2) << p.plugin;
    EXPECT_EQ(total, 10) << p.plugin;
    mark = phone.Mark();
    EXPECT_EQ(book.SetCurrentPhoneBookStorage(5), p.ownNumbers ? 1 : 0) << p.plugin;
    EXPECT_EQ(phone.ReceivedSince(mark), p.ownNumbers ? "AT+CPBS=\"ON\"\r" : "") << p.plugin;
    EXPECT_EQ(book.SetCurrentPhoneBookStorage(7), 0) << p.plugin;
    EXPECT_EQ(book.SetCurrentPhoneBookStorage(6), 1) << p.plugin;
    EXPECT_EQ(book.GetCurrentPhoneBookStorageInfo(used, total), 6) << p.plugin;
    if (std::string(p.plugin) != "EricssonPhone") continue;
    // These phones stamp their call lists: the dialled numbers with the time of the call.
    phone.modem->update([](ModemContext& ctx) {
      ctx.phoneBooks.find("DC")->entries[1] = {"0777123456", 129, "Office", fonexa::sim::SmsTimestamp{2003, 12, 24, 10, 35}};
    });
    ASSERT_EQ(book.SetCurrentPhoneBookStorage(2), 1);
    std::vector<PhoneBookEntry> list;
    ASSERT_EQ(book.ReadPhoneBookEntries(1, 10, list), 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "Office");
    EXPECT_EQ((std::vector<int>{list[0].Time.year, list[0].Time.month, list[0].Time.day, list[0].Time.hour,
                                list[0].Time.minute}),
              (std::vector<int>{3, 12, 24, 10, 35}));  // the year as the phone wrote it
  }
}
