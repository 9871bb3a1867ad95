// A phone that falls silent in the middle of a listing.
#include <gtest/gtest.h>

#include "ScriptedPhone.h"
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
