// Unsolicited codes the session's table does not know, arriving where a
// network answer's information line belongs: each is raised as the raw event
// with its text and passed over, and the operation reads its answer as if the
// code had not come.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScriptedPhone.h"
#include "SessionFixture.h"
#include "services/CMxGsmNetwork.h"

using fonexa::OperatorEntry;
using fonexa::testing::RecordingHandler;
using fonexa::testing::ScriptedPhone;

namespace {

// Packet-domain registration, registration with location, indicator changes
// and the signal and start-up reports of Huawei modules.
const char* const kForeignCodes[] = {"+CGREG: 1", "+CREG: 1,\"00C3\",\"0010\"", "+CIEV: 2,3", "^RSSI:12",
                                     "^BOOT:12345,0,0,0,4"};

struct Operation {
  const char* command;
  const char* answer;
  // The operation's result and what it read, as one text.
  std::function<std::string(CMxGsmNetwork&)> run;
  const char* read;
};

const Operation kOperations[] = {
    {"AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n",
     [](CMxGsmNetwork& n) {
       int rssi = 0, ber = 0;
       const int result = n.GetSignalQuality(rssi, ber);
       return std::to_string(result) + ":" + std::to_string(rssi) + "," + std::to_string(ber);
     },
     "1:17,99"},
    {"AT+CREG?", "\r\n+CREG: 1,5\r\n\r\nOK\r\n",
     [](CMxGsmNetwork& n) {
       int setting = 0, stat = 0;
       const int result = n.GetRegistrationStatus(setting, stat);
       return std::to_string(result) + ":" + std::to_string(setting) + "," + std::to_string(stat);
     },
     "1:1,5"},
    {"AT+COPS?", "\r\n+COPS: 0,0,\"Op A\"\r\n\r\nOK\r\n",
     [](CMxGsmNetwork& n) {
       OperatorEntry entry;
       const int result = n.GetCurrentOperator(entry);
       return std::to_string(result) + ":" + entry.Name + "," + std::to_string(entry.Mode);
     },
     "1:Op A,0"},
    {"AT+COPS=?", "\r\n+COPS: (2,\"Op A\",,\"23001\"),,(0,1,2,3,4),(0,1,2)\r\n\r\nOK\r\n",
     [](CMxGsmNetwork& n) {
       std::vector<OperatorEntry> list;
       const int result = n.GetLocalOperatorEntries(list);
       return std::to_string(result) + ":" + std::to_string(list.size()) + (list.empty() ? "" : "," + list[0].Name);
     },
     "1:1,Op A"},
    {"AT+COPN", "\r\n+COPN: \"23001\",\"Op A\"\r\n+COPN: \"23002\",\"Op B\"\r\n\r\nOK\r\n",
     [](CMxGsmNetwork& n) {
       std::vector<OperatorEntry> list;
       const int result = n.GetWorldWideOperatorEntries(list);
       return std::to_string(result) + ":" + std::to_string(list.size());
     },
     "1:2"},
};

}  // namespace

TEST(NetworkUnsolicited, ForeignCodesBeforeTheAnswerAreRaisedAndPassedOver) {
  ScriptedPhone phone;
  RecordingHandler handler;
  phone.session.RegisterEvent(CMxGsmBasics::kEventRaw, &handler);
  CMxGsmNetwork network(&phone.session);
  for (const auto& op : kOperations) {
    phone.modem.On(op.command, op.answer);
    EXPECT_EQ(op.run(network), op.read) << op.command;
    for (const char* code : kForeignCodes) {
      handler.events.clear();
      phone.modem.On(op.command, std::string("\r\n") + code + "\r\n" + op.answer);
      EXPECT_EQ(op.run(network), op.read) << op.command << " after " << code;
      ASSERT_EQ(handler.events.size(), 1u) << op.command << " after " << code;
      EXPECT_EQ(handler.events[0].text, code);
      EXPECT_EQ(handler.events[0].value, 0u);
    }
  }
  EXPECT_EQ(phone.session.IsOpened(), 1);  // every operation closed what it opened
}
