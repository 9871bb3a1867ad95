// The load-then-read pattern of the exported lists.
#include <gtest/gtest.h>

#include <cstring>

#include "InstanceFixture.h"

using fonexa::testing::InstanceTest;

class Enumerations : public InstanceTest {
 protected:
  void SetUp() override {
    StartModem();
    h = CreateGsmInstance();
    ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  }
};

TEST(EnumerationReaders, NothingBeforeTheFirstLoad) {
  MxSmsRecord sms;
  MxPhoneBookRecord entry;
  MxOperatorRecord op;
  EXPECT_EQ(GetNextSmsEntry(&sms), 0);
  EXPECT_EQ(GetNextPhoneBookEntry(&entry), 0);
  EXPECT_EQ(GetNextWorldWideOperatorEntry(&op), 0);
  EXPECT_EQ(GetNextLocalOperatorEntry(&op), 0);
  EXPECT_EQ(GetNextSmsEntry(nullptr), 0);
}

TEST_F(Enumerations, ExactlyTheLoadedCountThenNothingUntilTheNextLoad) {
  ASSERT_EQ(SetPhoneBookStorage(h, 0), 1);
  ASSERT_EQ(WritePhoneBookEntry(h, 1, "111", "One"), 1);
  ASSERT_EQ(WritePhoneBookEntry(h, 2, "222", "Two"), 1);
  ASSERT_EQ(WritePhoneBookEntry(h, 3, "333", "Three"), 1);
  const int count = LoadPhoneBookEntries(h, 1, 3);
  ASSERT_EQ(count, 3);
  MxPhoneBookRecord entry;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(GetNextPhoneBookEntry(&entry), 1);
    EXPECT_EQ(entry.index, i + 1);
  }
  EXPECT_EQ(GetNextPhoneBookEntry(&entry), 0);
  EXPECT_EQ(GetNextPhoneBookEntry(&entry), 0);
  EXPECT_STREQ(entry.name, "Three");
}

TEST_F(Enumerations, ReadingOneEntryReplacesTheLoadedList) {
  ASSERT_EQ(WritePhoneBookEntry(h, 5, "555", "Five"), 1);
  ASSERT_EQ(WritePhoneBookEntry(h, 6, "666", "Six"), 1);
  ASSERT_EQ(LoadPhoneBookEntries(h, 5, 6), 2);
  MxPhoneBookRecord entry;
  ASSERT_EQ(ReadPhoneBookEntry(h, 6, &entry), 1);
  EXPECT_STREQ(entry.name, "Six");
  EXPECT_EQ(GetNextPhoneBookEntry(&entry), 0);  // the list of two is gone
}

TEST_F(Enumerations, FailedLoadLeavesNoList) {
  ASSERT_GE(WriteSmsEntry(h, "123", "One"), 1);
  ASSERT_GE(LoadSmsEntries(h, 4), 1);
  EXPECT_EQ(LoadSmsEntries(h, 9), -1);  // no such status: the phone answers with an error
  MxSmsRecord sms;
  EXPECT_EQ(GetNextSmsEntry(&sms), 0);  // and the list loaded before is gone
}

TEST_F(Enumerations, RecordsCarryCalendarTimeAndCutTexts) {
  char answer[64];
  ASSERT_EQ(SendCustomAtCommand(h, "AT+CNMI=1,1\r", answer), 1);  // store what arrives
  modem->injectSms("+420777123456", std::string(150, 'm'));
  ASSERT_TRUE(modem->transcript().waitFor(fonexa::sim::Direction::Out, "+CMTI:", std::chrono::seconds(5)));
  ASSERT_GE(WriteSmsEntry(h, "+420606000111", "Stored to send"), 1);
  ASSERT_EQ(LoadSmsEntries(h, 4), 2);
  MxSmsRecord received, stored;
  ASSERT_EQ(GetNextSmsEntry(&received), 1);
  ASSERT_EQ(GetNextSmsEntry(&stored), 1);
  EXPECT_EQ(received.status, 0);
  EXPECT_STREQ(received.phoneNumber, "+420777123456");
  EXPECT_EQ(std::string(received.messageText), std::string(150, 'm'));
  EXPECT_GE(received.year, 2024);  // the service centre's stamp in local calendar time
  EXPECT_GE(received.month, 1);
  EXPECT_LE(received.month, 12);
  EXPECT_EQ(stored.status, 2);
  EXPECT_STREQ(stored.messageText, "Stored to send");
  EXPECT_EQ(stored.reserved, -1);
  MxOperatorRecord op;
  std::memset(&op, '#', sizeof op);
  ASSERT_EQ(GetCurrentOperator(h, &op), 1);
  EXPECT_LT(std::strlen(op.name), sizeof op.name);
  EXPECT_EQ(op.state, -1);
}
