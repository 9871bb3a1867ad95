// Unsolicited codes the session's table does not know, arriving where a
// message answer's information line belongs (and between the entries of a
// listing): each is raised as the raw event with its text and passed over.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmSms.h"

using fonexa::SmsEntry;
using fonexa::testing::RecordingHandler;
using fonexa::testing::ScriptedPhone;

namespace {

const char* const kForeignCodes[] = {"+CGREG: 1", "+CREG: 1,\"00C3\",\"0010\"", "+CIEV: 2,3", "^RSSI:12",
                                     "^BOOT:12345,0,0,0,4"};

// "How are you?" from +31641600986 (TPDU 30 octets).
const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314480CC8F71D14969741F977FD07";

struct Operation {
  const char* command;
  std::string answer;
  std::function<std::string(CMxGsmSms&)> run;  // result and what was read, as one text
  const char* read;
};

std::vector<Operation> Operations() {
  return {
      {"AT+CSCA?", "\r\n+CSCA: \"+4917\",145\r\n\r\nOK\r\n",
       [](CMxGsmSms& sms) {
         std::string number;
         int type = 0;
         const int result = sms.GetServiceCenter(number, type);
         return std::to_string(result) + ":" + number + "," + std::to_string(type);
       },
       "1:\"+4917\",145"},
      {"AT+CPMS?", "\r\n+CPMS: \"ME\",3,50,\"ME\",3,50\r\n\r\nOK\r\n",
       [](CMxGsmSms& sms) {
         int storage = 0, used = 0, total = 0;
         const int result = sms.GetSmsStorage(storage, used, total);
         return std::to_string(result) + ":" + std::to_string(storage) + "," + std::to_string(used) + "," +
                std::to_string(total);
       },
       "1:1,3,50"},
      {"AT+CPMS=\"SM\",\"SM\"", "\r\n+CPMS: 3,50,3,50\r\n\r\nOK\r\n",
       [](CMxGsmSms& sms) { return std::to_string(sms.SetSmsStorage(0)); }, "1"},
      {"AT+CMGR=2", "\r\n+CMGR: 1,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n",
       [](CMxGsmSms& sms) {
         SmsEntry entry;
         const int result = sms.ReadSmsEntry(2, entry);
         return std::to_string(result) + ":" + entry.MessageText;
       },
       "1:How are you?"},
      {"AT+CMGL=4", "\r\n+CMGL: 1,0,,30\r\n" + kHowAreYou + "\r\n\r\nOK\r\n",
       [](CMxGsmSms& sms) {
         std::vector<SmsEntry> list;
         const int result = sms.ReadSmsEntries(4, list);
         return std::to_string(result) + ":" + std::to_string(list.size());
       },
       "1:1"},
  };
}

}  // namespace

TEST(SmsUnsolicited, ForeignCodesBeforeTheAnswerAreRaisedAndPassedOver) {
  ScriptedPhone phone;
  RecordingHandler handler;
  phone.session.RegisterEvent(CMxGsmBasics::kEventRaw, &handler);
  CMxGsmSms sms(&phone.session);
  for (const auto& op : Operations()) {
    phone.modem.On(op.command, op.answer);
    EXPECT_EQ(op.run(sms), op.read) << op.command;
    for (const char* code : kForeignCodes) {
      handler.events.clear();
      phone.modem.On(op.command, std::string("\r\n") + code + "\r\n" + op.answer);
      EXPECT_EQ(op.run(sms), op.read) << op.command << " after " << code;
      ASSERT_EQ(handler.events.size(), 1u) << op.command << " after " << code;
      EXPECT_EQ(handler.events[0].text, code);
    }
  }
}

TEST(SmsUnsolicited, ForeignCodesBetweenListedMessages) {
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
