// Every subcommand against the virtual modem, in text and with --json, the
// JSON parsed and its fields checked against what the modem holds.
#include <gtest/gtest.h>

#include <fstream>

#include "CliFixture.h"
#include "sim/codec/SmsPdu.h"

using namespace std::chrono_literals;

namespace fonexa::clitest {
namespace {

using DeviceCommands = CliTest;

TEST_F(DeviceCommands, IdentifyNamesTheModemsProfile) {
  const Json identity = json({"identify"});
  EXPECT_EQ(identity["manufacturer"], "Fonexa");
  EXPECT_EQ(identity["model"], "VM-900 virtual GSM phone");
  EXPECT_EQ(identity["imei"], "490154203237518");
  EXPECT_TRUE(identity["clock"].is_string());

  const Finished text = fonexa({"identify"});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("imei:         490154203237518\n"), std::string::npos) << text.out;
}

TEST_F(DeviceCommands, StatusAndSignalFollowTheNetwork) {
  modem().setSignal(10);
  const Json status = json({"status"});
  EXPECT_EQ(status["sim"], "READY");
  EXPECT_EQ(status["ready"], true);
  EXPECT_EQ(status["registration"], "registered, home network");
  EXPECT_EQ(status["signal_dbm"], -93);

  const Json signal = json({"signal"});
  EXPECT_EQ(signal["rssi"], 10);
  EXPECT_EQ(signal["dbm"], -93);
  EXPECT_TRUE(signal["ber"].is_null());  // 99: not known

  modem().setSignal(99);
  EXPECT_TRUE(json({"signal"})["dbm"].is_null());
  EXPECT_NE(fonexa({"signal"}).out.find("dbm:  -"), std::string::npos);
}

using OperatorCommands = CliTest;

TEST_F(OperatorCommands, CurrentListAndSelect) {
  EXPECT_EQ(json({"operator", "current"})["selection"], "automatic");

  const Json listed = json({"operator", "list"});
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[0]["code"], 26201);
  EXPECT_EQ(listed[0]["state"], "current");
  EXPECT_EQ(listed[2]["state"], "forbidden");
  const Finished table = fonexa({"operator", "list"});
  EXPECT_EQ(table.out.rfind("CODE   STATE      NAME\n", 0), 0u) << table.out;

  const Json chosen = json({"operator", "select", "26202"});
  EXPECT_EQ(chosen["selection"], "manual");
  EXPECT_EQ(modemState()["network"]["operator"], "26202");
  EXPECT_EQ(json({"operator", "select", "auto"})["selection"], "automatic");
  EXPECT_EQ(modemState()["network"]["selectionMode"], 0);
}

using SmsCommands = CliTest;

TEST_F(SmsCommands, SendTellsThePartCountFirstAndTheModemGetsEveryPart) {
  const std::string text(400, 'x');
  const Finished sent = fonexa({"sms", "send", "+420606111222", text});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  EXPECT_EQ(sent.out, "sending a message to +420606111222: 3 parts, 7-bit\nsent\n");
  const Json state = modemState();
  ASSERT_EQ(state["sent"].size(), 3u);
  EXPECT_EQ(state["sent"][0]["destination"], "+420606111222");
}

TEST_F(SmsCommands, SendReportsUnicodePartsAndFlashAsJson) {
  const Json sent = json({"sms", "send", "+420606111222", "Grüße aus Brno ±"});
  EXPECT_EQ(sent["parts"], 1);
  EXPECT_EQ(sent["alphabet"], "UCS2");  // "±" is not in the GSM alphabet
  EXPECT_EQ(sent["flash"], false);

  const Json flash = json({"sms", "send", "--flash", "+420606111222", "Now"});
  EXPECT_EQ(flash["flash"], true);
  const Json state = modemState();
  ASSERT_EQ(state["sent"].size(), 2u);
  EXPECT_EQ(state["sent"][1]["class"], 0);
}

TEST_F(SmsCommands, SendCarriesAnyLanguage) {
  // "€" and "[" are in the extension table: still 7-bit, two septets each.
  const Json euro = json({"sms", "send", "+420606111222", "Price: 5 € [net]"});
  EXPECT_EQ(euro["alphabet"], "7-bit");
  const std::string greek = "Καλημέρα από την Αθήνα 😀";
  const Json sent = json({"sms", "send", "+420606111222", greek});
  EXPECT_EQ(sent["alphabet"], "UCS2");
  EXPECT_EQ(sent["parts"], 1);
  // 70 UCS2 units fit one message; the emoji's surrogate pair makes it 71.
  const Json two = json({"sms", "send", "+420606111222", std::string(69, 'a') + "😀"});
  EXPECT_EQ(two["parts"], 2);
  const Json state = modemState();
  ASSERT_EQ(state["sent"].size(), 4u);
  EXPECT_EQ(state["sent"][0]["text"], "Price: 5 € [net]");
  EXPECT_EQ(state["sent"][1]["text"], greek);
}

TEST_F(SmsCommands, SendReadsTheTextFromStandardInput) {
  ProcessOptions options;
  options.input = "Piped text\n";
  const Json sent = json({"sms", "send", "+420606111222"}, options);
  EXPECT_EQ(sent["parts"], 1);
  EXPECT_EQ(modemState()["sent"][0]["text"], "Piped text");
}

TEST_F(SmsCommands, StoreListReadDelete) {
  const Json stored = json({"sms", "store", "+420606111222", "A draft"});
  const int index = stored["index"];
  EXPECT_GT(index, 0);

  const Json listed = json({"sms", "list"});
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["index"], index);
  EXPECT_EQ(listed[0]["status"], "unsent");
  EXPECT_EQ(listed[0]["number"], "+420606111222");
  EXPECT_EQ(listed[0]["text"], "A draft");
  EXPECT_TRUE(json({"sms", "list", "--status", "unread"}).empty());

  const Json read = json({"sms", "read", std::to_string(index)});
  EXPECT_EQ(read["text"], "A draft");

  const Finished table = fonexa({"sms", "list"});
  EXPECT_NE(table.out.find("unsent  +420606111222  -     1      A draft"), std::string::npos) << table.out;

  EXPECT_EQ(json({"sms", "delete", std::to_string(index)})["deleted"], Json::array({index}));
  EXPECT_EQ(fonexa({"sms", "list"}).out, "no messages\n");
}

const std::string kGreek = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
// Greek capitals the GSM alphabet holds: a long text with them stays 7-bit.
const std::string kGreekCapitals = "\xCE\x94\xCE\xA6\xCE\x93\xCE\x9B\xCE\xA9";

// A long message of three parts (153 septets each at most) stored as 3
// (part 1) and 1 (part 3), part 2 never came, and a Greek message of one
// part at 2.
void storeGappyLongMessage(sim::VirtualModem& modem) {
  sim::DeliverRequest request;
  request.originator = "+4930123456";
  request.text = std::string(153, 'a') + std::string(153, 'b') + std::string(100, 'c') + kGreekCapitals;
  request.concatenationReference = 77;
  const auto parts = sim::buildDeliverParts(request);
  ASSERT_EQ(parts.size(), 3u);
  sim::DeliverRequest single;
  single.originator = "+4930999";
  single.text = kGreek;
  modem.update([&](sim::ModemContext& ctx) {
    ctx.messages.storeAt("SM", 1, {sim::MessageStat::ReceivedRead, parts[2].hex});
    ctx.messages.storeAt("SM", 2, {sim::MessageStat::ReceivedUnread, sim::buildDeliverParts(single)[0].hex});
    ctx.messages.storeAt("SM", 3, {sim::MessageStat::ReceivedRead, parts[0].hex});
  });
}

TEST_F(SmsCommands, ListJoinsLongMessagesAndMarksTheMissingPart) {
  storeGappyLongMessage(modem());
  const Json listed = json({"sms", "list"});
  ASSERT_EQ(listed.size(), 2u);
  const Json& long_ = listed[0]["parts"] == 3 ? listed[0] : listed[1];
  const Json& single = listed[0]["parts"] == 3 ? listed[1] : listed[0];
  EXPECT_EQ(long_["index"], 3);
  EXPECT_EQ(long_["indices"], Json::parse("[3, null, 1]"));
  EXPECT_EQ(long_["missing"], 1);
  EXPECT_EQ(long_["reference"], 77);
  EXPECT_EQ(long_["number"], "+4930123456");
  EXPECT_EQ(long_["kind"], "received");
  const std::string text = long_["text"];
  EXPECT_EQ(text, std::string(153, 'a') + std::string(100, 'c') + kGreekCapitals);
  EXPECT_EQ(single["text"], kGreek);
  EXPECT_EQ(single["indices"], Json::parse("[2]"));
  EXPECT_EQ(single["missing"], 0);
  EXPECT_EQ(single["reference"], nullptr);
  EXPECT_EQ(single["status"], "unread");

  const Finished table = fonexa({"sms", "list"});
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_NE(table.out.find("INDEX  STATUS  NUMBER"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("3,-,1  read    +4930123456"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("2 of 3  aaaa"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find(kGreek), std::string::npos) << table.out;
}

TEST_F(SmsCommands, ListPartsGivesEveryStoredPartWithItsPlace) {
  storeGappyLongMessage(modem());
  const Json parts = json({"sms", "list", "--parts"});
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0]["index"], 1);
  EXPECT_EQ(parts[0]["part"], 3);
  EXPECT_EQ(parts[0]["parts"], 3);
  EXPECT_EQ(parts[0]["reference"], 77);
  EXPECT_EQ(parts[1]["text"], kGreek);
  EXPECT_EQ(parts[1]["status"], "unread");
  EXPECT_EQ(parts[1]["part"], nullptr);
  EXPECT_EQ(parts[2]["part"], 1);

  const Finished table = fonexa({"sms", "list", "--parts", "--status", "read"});
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_NE(table.out.find("PART"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("3/3   cccc"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("1/3   aaaa"), std::string::npos) << table.out;

  const Json read = json({"sms", "read", "2"});
  EXPECT_EQ(read["text"], kGreek);
  EXPECT_EQ(read["number"], "+4930999");
}

TEST_F(SmsCommands, SendWithReportWaitsForEachOutcome) {
  const struct {
    const char* name;
    std::vector<sim::ReportStep> plan;
    const char* delivery;
  } cases[] = {
      {"delivered", {{0x00, 0ms}}, "delivered"},
      {"pending, then delivered", {{0x20, 0ms}, {0x00, 1500ms}}, "delivered"},
      {"failed", {{0x41, 0ms}}, "failed"},
  };
  size_t sentBefore = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    modem().setReportPlan(c.plan, true);
    const Json sent = json({"sms", "send", "--report", "+491701112233", std::string("Report: ") + c.name});
    EXPECT_EQ(sent["delivery"], c.delivery);
    const Json state = modemState();
    ASSERT_EQ(state["sent"].size(), sentBefore + 1);
    EXPECT_EQ(state["sent"][sentBefore]["statusReport"], true);
    ASSERT_EQ(sent["references"].size(), 1u);
    EXPECT_EQ(sent["references"][0], state["sent"][sentBefore]["reference"]);
    ++sentBefore;
  }

  // The phone was asked to pass reports to the terminal, the rest as the engine set it.
  EXPECT_NE(modem().transcript().text(sim::Direction::In).find("AT+CNMI=1,2,0,1,0\r"), std::string::npos);

  // Still pending when the wait is up: said so, and no failure.
  modem().setReportPlan({{0x20, 0ms}}, true);
  const Finished pending = fonexa({"sms", "send", "--report", "--wait", "3", "+491701112233", "Later"});
  ASSERT_EQ(pending.exitCode, 0) << pending.err;
  EXPECT_NE(pending.out.find("delivery report asked for\nsent (reference "), std::string::npos) << pending.out;
  EXPECT_NE(pending.out.find("\npending after 3 s\n"), std::string::npos) << pending.out;

  // A long message: a reference per part, delivered when every part is; the
  // first part's report comes back before the second part is sent.
  modem().setReportPlan({{0x00, 0ms}});
  const Json long_ = json({"sms", "send", "--report", "+491701112233", std::string(200, 'L')});
  EXPECT_EQ(long_["parts"], 2);
  EXPECT_EQ(long_["references"].size(), 2u);
  EXPECT_EQ(long_["delivery"], "delivered");

  // --wait 0 returns at once and has the phone store the report, which a
  // later listing shows by the message's reference.
  modem().setReportPlan({{0x41, 0ms}}, true);
  const Json quick = json({"sms", "send", "--report", "--wait", "0", "+491701112233", "Quick"});
  EXPECT_EQ(quick["delivery"], "waiting");
  EXPECT_NE(modem().transcript().text(sim::Direction::In).find("AT+CNMI=1,2,0,2,0\r"), std::string::npos);
  ASSERT_EQ(quick["references"].size(), 1u);
  bool found = false;
  for (int round = 0; round < 20 && !found; ++round) {
    for (const Json& part : json({"sms", "list", "--parts"})) {
      if (part["kind"] == "status_report" && part["report_reference"] == quick["references"][0]) {
        found = true;
        EXPECT_EQ(part["text"], "failed");
        EXPECT_EQ(part["report_status"], 0x41);
        EXPECT_EQ(part["number"], "+491701112233");
      }
    }
  }
  EXPECT_TRUE(found) << "the stored report";
}

TEST_F(SmsCommands, StorageAndServiceCentre) {
  const Json storage = json({"sms", "storage"});
  EXPECT_EQ(storage["storage"], "SM");
  EXPECT_EQ(storage["total"], 20);
  EXPECT_EQ(json({"sms", "storage", "ME"})["storage"], "ME");

  EXPECT_EQ(json({"sms", "service-centre"})["number"], "+491710760000");
  EXPECT_EQ(json({"sms", "smsc", "+420603052000"})["number"], "+420603052000");
  EXPECT_EQ(modemState()["serviceCentre"], "+420603052000");
}

using PhoneBookCommands = CliTest;

TEST_F(PhoneBookCommands, WriteListReadDeleteAndTheRange) {
  EXPECT_EQ(fonexa({"phonebook", "write", "+420606111222", "Alice Novak"}).exitCode, 0);
  EXPECT_EQ(json({"phonebook", "write", "--position", "7", "+420777123456", "Bob"})["position"], 7);

  const Json listed = json({"phonebook", "list"});
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0]["position"], 1);
  EXPECT_EQ(listed[0]["name"], "Alice Novak");
  EXPECT_EQ(listed[1]["position"], 7);
  EXPECT_EQ(listed[1]["number"], "+420777123456");
  EXPECT_EQ(json({"phonebook", "list", "--first", "5", "--last", "9"}).size(), 1u);

  EXPECT_EQ(json({"phonebook", "read", "7"})["name"], "Bob");
  EXPECT_EQ(json({"phonebook", "delete", "7"})["deleted"], 7);
  EXPECT_EQ(modemState()["phoneBooks"]["SM"]["entries"].size(), 1u);

  const Json range = json({"phonebook", "range"});
  EXPECT_EQ(range["first"], 1);
  EXPECT_EQ(range["last"], 250);
  const Json storage = json({"phonebook", "storage"});
  EXPECT_EQ(storage["storage"], "SM");
  EXPECT_EQ(storage["used"], 1);
}

TEST_F(PhoneBookCommands, OtherStoragesByName) {
  const Json own = json({"phonebook", "list", "--storage", "ON"});
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0]["name"], "Own number");
  EXPECT_EQ(json({"phonebook", "storage", "--storage", "me"})["total"], 500);
}

TEST_F(PhoneBookCommands, ExportAndImportRoundTripThroughVCardAndCsv) {
  ASSERT_EQ(fonexa({"phonebook", "write", "+420606111222", "Novak, Alice"}).exitCode, 0);
  ASSERT_EQ(fonexa({"phonebook", "write", "+420777123456", "Bob Dvorak"}).exitCode, 0);

  const Finished vcard = fonexa({"phonebook", "export"});
  ASSERT_EQ(vcard.exitCode, 0) << vcard.err;
  EXPECT_NE(vcard.out.find("FN:Novak\\, Alice\r\n"), std::string::npos) << vcard.out;

  const std::string csvPath = home_.File("book.csv");
  const Json exported = json({"phonebook", "export", csvPath});
  EXPECT_EQ(exported["entries"], 2);
  EXPECT_EQ(exported["format"], "csv");
  EXPECT_EQ(testing::ReadWholeFile(csvPath),
            "position,name,number\r\n1,\"Novak, Alice\",+420606111222\r\n2,Bob Dvorak,+420777123456\r\n");

  // Into the phone's own memory: the CSV's positions, the vCard's first free ones.
  const Json fromCsv = json({"phonebook", "import", "--storage", "ME", csvPath});
  EXPECT_EQ(fromCsv["imported"], 2);
  ProcessOptions piped;
  piped.input = vcard.out;
  EXPECT_EQ(json({"phonebook", "import", "--storage", "ME", "--format", "vcard", "-"}, piped)["imported"], 2);
  const Json book = json({"phonebook", "list", "--storage", "ME"});
  ASSERT_EQ(book.size(), 4u);
  EXPECT_EQ(book[1]["name"], "Bob Dvorak");
  EXPECT_EQ(book[2]["name"], "Novak, Alice");
}

using CallCommands = CliTest;

TEST_F(CallCommands, DialWaitsForTheOutcome) {
  const Json connected = json({"call", "dial", "+420606111222", "--hangup-after", "0"});
  EXPECT_EQ(connected["outcome"], "connected");
  EXPECT_EQ(connected["hung_up"], true);

  modem().setDialOutcome(sim::DialOutcome::Busy);
  const Finished busy = fonexa({"call", "dial", "+420606111222"});
  EXPECT_EQ(busy.exitCode, 1);
  EXPECT_EQ(busy.out, "dialling +420606111222\nbusy\n");
}

TEST_F(CallCommands, AnIncomingCallListedAnsweredAndEnded) {
  ASSERT_TRUE(modem().ring("+420777123456"));
  const Json calls = json({"call", "list"});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["direction"], "incoming");
  EXPECT_EQ(calls[0]["state"], "incoming");
  EXPECT_EQ(calls[0]["number"], "+420777123456");

  EXPECT_EQ(json({"call", "answer"})["answered"], true);
  EXPECT_EQ(json({"call", "list"})[0]["state"], "active");
  EXPECT_EQ(fonexa({"call", "hangup"}).out, "hung up\n");
  EXPECT_EQ(fonexa({"call", "list"}).out, "no calls\n");
}

TEST_F(CallCommands, MultipartyHoldsAndJoins) {
  ASSERT_TRUE(modem().ring("+420777123456"));
  ASSERT_EQ(fonexa({"call", "answer"}).exitCode, 0);
  EXPECT_EQ(json({"call", "multiparty", "hold"})["action"], "hold");
  EXPECT_EQ(json({"call", "list"})[0]["state"], "held");

  const Finished missingIndex = fonexa({"call", "multiparty", "release"});
  EXPECT_EQ(missingIndex.exitCode, 2);
  EXPECT_NE(missingIndex.err.find("release needs the call's INDEX"), std::string::npos);
}

using ServiceCommands = CliTest;

TEST_F(ServiceCommands, ForwardingSetShownAndCancelled) {
  EXPECT_EQ(json({"forward", "set", "busy", "+420603000111"})["active"], true);
  const Json shown = json({"forward", "show"});
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[1]["reason"], "busy");
  EXPECT_EQ(shown[1]["active"], true);
  EXPECT_EQ(shown[1]["number"], "+420603000111");
  EXPECT_EQ(shown[0]["active"], false);

  EXPECT_EQ(json({"forward", "off", "busy"})["active"], false);
  EXPECT_EQ(json({"forward", "show", "busy"})[0]["active"], false);
}

TEST_F(ServiceCommands, BarringNeedsTheRightPassword) {
  EXPECT_EQ(json({"bar", "set", "oi", "on", "--password", "0000"})["active"], true);
  EXPECT_EQ(json({"bar", "show", "oi"})[0]["active"], true);
  const Finished wrong = fonexa({"bar", "set", "oi", "off", "--password", "9999"});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("barring password"), std::string::npos) << wrong.err;
}

using MaintenanceCommands = CliTest;

TEST_F(MaintenanceCommands, RawAtCommandsAndTheirFailures) {
  const Json answer = json({"at", "AT+CSQ"});
  EXPECT_EQ(answer["ok"], true);
  EXPECT_EQ(answer["response"].back(), "OK");
  EXPECT_EQ(answer["response"][0].get<std::string>().rfind("+CSQ: ", 0), 0u);

  const Finished failed = fonexa({"at", "AT+NOSUCH"});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.out, "ERROR\n");
}

TEST_F(MaintenanceCommands, DiagnosticsPrintedOrWritten) {
  const Json printed = json({"diagnostics"});
  EXPECT_FALSE(printed["lines"].empty());
  const std::string path = home_.File("diagnostics.txt");
  const Finished written = fonexa({"diagnostics", "--output", path});
  EXPECT_EQ(written.exitCode, 0) << written.err;
  EXPECT_FALSE(testing::ReadWholeFile(path).empty());
}

}  // namespace
}  // namespace fonexa::clitest
