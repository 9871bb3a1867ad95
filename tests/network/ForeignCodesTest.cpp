// Unsolicited codes the session's table does not know (packet-domain and
// location registration reports, indicator changes, Huawei's signal and
// start-up reports), arriving where an answer's information line belongs.
// Every operation reads its answer through the same dialogue rows, so one
// table covers them all, whatever family they belong to: the code is raised
// as the raw event with its text and passed over, and the operation reads
// what it would have read without it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmNetwork.h"
#include "services/CMxGsmPhoneBook.h"
#include "services/CMxGsmProtection.h"
#include "services/CMxGsmSms.h"

using fonexa::OperatorEntry;
using fonexa::PhoneBookEntry;
using fonexa::SmsEntry;
using fonexa::testing::RecordingHandler;
using fonexa::testing::ScriptedPhone;

namespace {

const char* const kForeignCodes[] = {"+CGREG: 1", "+CREG: 1,\"00C3\",\"0010\"", "+CIEV: 2,3", "^RSSI:12",
                                     "^BOOT:12345,0,0,0,4"};

// "How are you?" from +31641600986 (TPDU 30 octets).
const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314480CC8F71D14969741F977FD07";

std::string Text(int result, const std::string& read) { return std::to_string(result) + ":" + read; }

struct Operation {
  const char* command;
  std::string answer;
  std::function<std::string(CMxGsmBasics&)> run;  // the result and what was read, as one text
  const char* read;
};

std::vector<Operation> Operations() {
  int a = 0, b = 0, c = 0, d = 0;
  std::string text;
  return {
      // Network.
      {"AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmNetwork(&s).GetSignalQuality(a, b);
         return Text(result, std::to_string(a));
       },
       "1:17"},
      {"AT+CREG?", "\r\n+CREG: 1,5\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmNetwork(&s).GetRegistrationStatus(a, b);
         return Text(result, std::to_string(b));
       },
       "1:5"},
      {"AT+COPS?", "\r\n+COPS: 0,0,\"Op A\"\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         OperatorEntry entry;
         const int result = CMxGsmNetwork(&s).GetCurrentOperator(entry);
         return Text(result, entry.Name);
       },
       "1:Op A"},
      {"AT+COPS=?", "\r\n+COPS: (2,\"Op A\",,\"23001\"),,(0,1,2,3,4),(0,1,2)\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         std::vector<OperatorEntry> list;
         const int result = CMxGsmNetwork(&s).GetLocalOperatorEntries(list);
         return Text(result, std::to_string(list.size()));
       },
       "1:1"},
      {"AT+COPN", "\r\n+COPN: \"23001\",\"Op A\"\r\n+COPN: \"23002\",\"Op B\"\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         std::vector<OperatorEntry> list;
         const int result = CMxGsmNetwork(&s).GetWorldWideOperatorEntries(list);
         return Text(result, std::to_string(list.size()));
       },
       "1:2"},
      // Messages.
      {"AT+CSCA?", "\r\n+CSCA: \"+4917\",145\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmSms(&s).GetServiceCenter(text, a);
         return Text(result, text);
       },
       "1:\"+4917\""},
      {"AT+CPMS?", "\r\n+CPMS: \"ME\",3,50,\"ME\",3,50\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmSms(&s).GetSmsStorage(a, b, c);
         return Text(result, std::to_string(c));
       },
       "1:50"},
      {"AT+CPMS=\"SM\",\"SM\"", "\r\n+CPMS: 3,50,3,50\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         const int result = CMxGsmSms(&s).SetSmsStorage(0);
         return Text(result, "");
       }, "1:"},
      {"AT+CMGR=2", "\r\n+CMGR: 1,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         SmsEntry entry;
         const int result = CMxGsmSms(&s).ReadSmsEntry(2, entry);
         return Text(result, entry.MessageText);
       },
       "1:How are you?"},
      {"AT+CMGL=4", "\r\n+CMGL: 1,0,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         std::vector<SmsEntry> list;
         const int result = CMxGsmSms(&s).ReadSmsEntries(4, list);
         return Text(result, std::to_string(list.size()));
       },
       "1:1"},
      // Phone book.
      {"AT+CPBS?", "\r\n+CPBS: \"SM\",12,250\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmPhoneBook(&s).GetCurrentPhoneBookStorageInfo(a, b);
         return Text(result, std::to_string(b));
       },
       "0:250"},
      {"AT+CPBR=?", "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = CMxGsmPhoneBook(&s).GetPhoneBookInfo(a, b, c, d);
         return Text(result, std::to_string(b));
       },
       "1:250"},
      {"AT+CPBR=1,2", "\r\n+CPBR: 1,\"555\",129,\"A\"\r\n+CPBR: 2,\"556\",129,\"B\"\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         std::vector<PhoneBookEntry> list;
         const int result = CMxGsmPhoneBook(&s).ReadPhoneBookEntries(1, 2, list);
         return Text(result, std::to_string(list.size()));
       },
       "1:2"},
      // SIM status.
      {"AT+CPIN?", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n",
       [](CMxGsmBasics& s) {
         const int result = CMxGsmProtection(&s).GetVerifyStatus();
         return Text(result, "");
       }, "2:"},
      // Module information.
      {"AT+CGMI", "\r\nFonexa Devices\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = s.GetManufacturer(text);
         return Text(result, text);
       }, "1:Fonexa Devices\r\n"},
      {"AT+CGMM", "\r\n+CGMM: VM-900\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = s.GetModel(text);
         return Text(result, text);
       }, "1:+CGMM: VM-900\r\n"},
      {"AT+CGSN", "\r\n356938035643809\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = s.GetProductSerialID(text);
         return Text(result, text);
       }, "1:356938035643809\r\n"},
      {"AT+CNMI=?", "\r\n+CNMI: (0-3),(0-3)\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = s.QuerySmsParameters(text);
         return Text(result, text);
       }, "1:(0-3),(0-3)\r\n"},
      {"AT+CCLK?", "\r\n+CCLK: \"24/02/29,13:45:07+04\"\r\n\r\nOK\r\n",
       [=](CMxGsmBasics& s) mutable {
         const int result = s.GetTime(text);
         return Text(result, text);
       }, "1:24/02/29,13:45:07+04"},
  };
}

}  // namespace

TEST(ForeignCodes, BeforeTheAnswerOfEveryOperationRaisedAndPassedOver) {
  ScriptedPhone phone;
  RecordingHandler handler;
  phone.session.RegisterEvent(CMxGsmBasics::kEventRaw, &handler);
  for (const auto& op : Operations()) {
    phone.modem.On(op.command, op.answer);
    ASSERT_EQ(op.run(phone.session), op.read) << op.command;  // the row itself reads its answer
    for (const char* code : kForeignCodes) {
      handler.events.clear();
      phone.modem.On(op.command, std::string("\r\n") + code + "\r\n" + op.answer);
      EXPECT_EQ(op.run(phone.session), op.read) << op.command << " after " << code;
      ASSERT_EQ(handler.events.size(), 1u) << op.command << " after " << code;
      EXPECT_EQ(handler.events[0].text, code);
      EXPECT_EQ(handler.events[0].value, 0u);
    }
  }
  EXPECT_EQ(phone.session.IsOpened(), 1);  // every operation closed what it opened
}

TEST(ForeignCodes, BetweenTheEntriesOfAListing) {
  ScriptedPhone phone;
  RecordingHandler handler;
  phone.session.RegisterEvent(CMxGsmBasics::kEventRaw, &handler);
  phone.modem.On("AT+CMGL=4", "\r\n+CMGL: 1,0,,30\r\n" + kHowAreYou + "\r\n\r\n^RSSI:9\r\n\r\n+CMGL: 2,1,,30\r\n" +
                                  kHowAreYou + "\r\n\r\nOK\r\n");
  std::vector<SmsEntry> list;
  EXPECT_EQ(CMxGsmSms(&phone.session).ReadSmsEntries(4, list), 1);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Index, 2);
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].text, "^RSSI:9");
}
