// Short messages in PDU mode through the AT interface: sending what
// python3-gammu built, rejecting broken PDUs, storing and announcing what
// arrives as +CNMI says, acknowledgements, memories and status reports.
#include <thread>

#include "ModemFixture.h"
#include "PduVectors.h"
#include "sim/control/JsonValue.h"
#include "sim/codec/SmsPdu.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::sim::test {
namespace {

using std::chrono::milliseconds;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }
bool endsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class Messaging : public ModemTest {
 protected:
  std::string send(const std::string& pdu, int length) {
    const std::string prompt = at("AT+CMGS=" + std::to_string(length));
    if (prompt != "\r\n> ") return prompt;
    return client().sendPromptText(pdu);
  }
  JsonValue state() { return *JsonValue::parse(modem().stateJson()); }
  // An unsolicited code that carries a PDU ("+CMT: ,<length>", "+CDS: <length>")
  // and the PDU line after it; the length must match the PDU.
  std::string readPduAfter(const std::string& prefix) {
    if (client().readUntil("\r\n" + prefix).empty()) return "";
    const std::string header = client().readUntil("\r\n");
    std::string pdu = client().readUntil("\r\n");
    if (pdu.size() < 2) return "";
    pdu.resize(pdu.size() - 2);
    EXPECT_EQ(std::stoi(header), tpduLengthOf(pdu)) << prefix << header;
    return pdu;
  }
};

TEST_F(Messaging, SendsWhatPythonGammuBuiltAndJoinsConcatenatedParts) {
  start();
  int expectedReference = 1;
  const auto vectors = loadPduVectors("submit_vectors.txt");
  for (const auto& v : vectors) {
    const std::string answer = send(v.pdu, v.tpduLength);
    EXPECT_EQ(answer, "\r\n+CMGS: " + std::to_string(expectedReference++) + "\r\n\r\nOK\r\n") << v.name;
  }
  const auto sent = modem().sentMessages();
  ASSERT_EQ(sent.size(), vectors.size());
  EXPECT_EQ(sent[0].text, "Hello world");
  EXPECT_EQ(sent[0].destination, "+4915112345");
  EXPECT_TRUE(sent.back().statusReportRequested);
  const JsonValue texts = state()["sentTexts"];
  bool found = false;
  for (const auto& t : texts.items()) {
    if (t["text"].asString() == std::string(152, 'x') + "{" + std::string(160, 'y')) found = true;
  }
  EXPECT_TRUE(found) << "three concatenated parts make one text";
}

TEST_F(Messaging, BrokenPdusAreRefusedAndEscapeCancels) {
  start();
  const std::string pdu = "079194710167000011000A9194511132540000000BC8329BFD06DDDF723619";
  EXPECT_EQ(send(pdu, 24), "\r\n+CMS ERROR: 304\r\n") << "length does not match";
  EXPECT_EQ(send("0011000A91945111325400G0000BC8329BFD06DDDF723619", 23), "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(send("0791947101670000000A9194511132540000425071315403000BC8329BFD06DDDF723619", 28),
            "\r\n+CMS ERROR: 304\r\n")
      << "a DELIVER cannot be sent";
  EXPECT_EQ(at("AT+CMGS=0"), "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(at("AT+CMGS=23"), "\r\n> ");
  client().write(pdu + "\x1b");
  EXPECT_EQ(client().readUntil("OK\r\n"), "\r\nOK\r\n");
  EXPECT_TRUE(modem().sentMessages().empty());
  modem().setRegistration(Registration::NotRegistered);
  EXPECT_EQ(send(pdu, 23), "\r\n+CMS ERROR: 331\r\n");
}

TEST_F(Messaging, EchoedPromptTextAndTheSdkPromptForm) {
  start();
  EXPECT_EQ(at("ATE1"), "\r\nOK\r\n");
  client().write("AT+CMGS=23\r");
  EXPECT_EQ(client().readUntil("> "), "AT+CMGS=23\r\r\n> ");
  const std::string pdu = "079194710167000011000A9194511132540000000BC8329BFD06DDDF723619";
  client().write(pdu + "\x1a");
  EXPECT_EQ(client().readUntil("OK\r\n"), pdu + "\r\n+CMGS: 1\r\n\r\nOK\r\n");
}

TEST_F(Messaging, StoredArrivalsAreAnnouncedListedAndMarkedRead) {
  start();
  EXPECT_EQ(at("AT+CNMI=2,1"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "Hello there");
  EXPECT_EQ(client().readUntil("\r\n+CMTI: \"SM\",1\r\n"), "\r\n+CMTI: \"SM\",1\r\n");
  const auto listed = infoLines(at("AT+CMGL=0"));
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0], "+CMGL: 1,0,," + std::to_string(tpduLengthOf(listed[1])));
  auto d = decodeDeliver(listed[1]);
  ASSERT_TRUE(d);
  EXPECT_EQ(encodeUtf8(d.message->userData.text), "Hello there");
  EXPECT_EQ(d.message->originator.number, "+4917012345");
  EXPECT_EQ(at("AT+CMGL=0"), "\r\nOK\r\n") << "listing marked it read";
  EXPECT_EQ(infoLines(at("AT+CMGL=1")).size(), 2u);
  modem().injectSms("+4917012345", "Second");
  EXPECT_FALSE(client().readUntil("+CMTI: \"SM\",2\r\n").empty());
  EXPECT_EQ(infoLines(at("AT+CMGR=2"))[0], "+CMGR: 0,,24");
  EXPECT_EQ(infoLines(at("AT+CMGR=2"))[0], "+CMGR: 1,,24") << "reading marked it read";
  EXPECT_EQ(at("AT+CMGR=3"), "\r\nOK\r\n") << "an empty location";
  EXPECT_EQ(at("AT+CMGR=21"), "\r\n+CMS ERROR: 321\r\n");
  EXPECT_EQ(at("AT+CNMI=2,0"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "Quiet");
  EXPECT_EQ(at("AT+CPMS?"), "\r\n+CPMS: \"SM\",3,20,\"SM\",3,20,\"SM\",3,20\r\n\r\nOK\r\n") << "stored without notice";
}

TEST_F(Messaging, DirectDeliveryWaitsForEachAcknowledgement) {
  start();
  EXPECT_EQ(at("AT+CNMI=2,2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMA"), "\r\n+CMS ERROR: 340\r\n");
  modem().injectSms("+4917012345", "one");
  auto d = decodeDeliver(readPduAfter("+CMT: ,"));
  ASSERT_TRUE(d);
  EXPECT_EQ(encodeUtf8(d.message->userData.text), "one");
  modem().injectSms("+4917012345", "two");
  settle();
  EXPECT_TRUE(client().buffered().empty()) << "the second waits for the first to be acknowledged";
  EXPECT_EQ(at("AT+CNMA=0"), "\r\nOK\r\n");
  auto second = decodeDeliver(readPduAfter("+CMT: ,"));
  ASSERT_TRUE(second);
  EXPECT_EQ(encodeUtf8(second.message->userData.text), "two");
  EXPECT_EQ(at("AT+CNMA"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMA"), "\r\n+CMS ERROR: 340\r\n");
  modem().injectSms("+4917012345", "to the SIM", 2);
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",1\r\n"), "\r\n+CMTI: \"SM\",1\r\n") << "class 2 belongs to the SIM";
  EXPECT_EQ(at("AT+CNMI=2,3"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "class one", 1);
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",2\r\n"), "\r\n+CMTI: \"SM\",2\r\n");
  modem().injectSms("+4917012345", "class three", 3);
  EXPECT_FALSE(readPduAfter("+CMT: ,").empty()) << "mode 3 routes class 3 directly";
}

TEST_F(Messaging, WithoutAcknowledgementThePhoneStopsRoutingToTheTerminal) {
  start();
  modem().update([](ModemContext& ctx) { ctx.centre.acknowledgementTimeout = milliseconds(0); });
  EXPECT_EQ(at("AT+CNMI=2,2,0,1"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "first");
  modem().injectSms("+4917012345", "second");
  EXPECT_FALSE(readPduAfter("+CMT: ,").empty());
  settle();
  EXPECT_EQ(at("AT+CNMI?"), "\r\n+CNMI: 2,0,0,0,0\r\n\r\nOK\r\n");
  const auto listed = infoLines(at("AT+CMGL=4"));
  ASSERT_EQ(listed.size(), 4u) << "the unacknowledged first message and the second one behind it were stored";
  auto first = decodeDeliver(listed[1]);
  ASSERT_TRUE(first);
  EXPECT_EQ(encodeUtf8(first.message->userData.text), "first") << "the one the terminal missed comes first";
}

TEST_F(Messaging, AMessageRefusedForAFullMemoryIsOfferedAgainOnceThereIsRoom) {
  start();
  modem().update([](ModemContext& ctx) { ctx.centre.retryDelay = milliseconds(20); });
  EXPECT_EQ(at("AT+CNMI=2,0"), "\r\nOK\r\n");
  for (int i = 0; i < 20; ++i) modem().injectSms("+4917012345", "filler " + std::to_string(i));
  const auto outcome = modem().injectSms("+4917099999", "one too many");
  ASSERT_EQ(outcome.size(), 1u);
  EXPECT_EQ(outcome[0].route, "rejected");
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(at("AT+CPMS?"), "\r\n+CPMS: \"SM\",20,20,\"SM\",20,20,\"SM\",20,20\r\n\r\nOK\r\n") << "still full";
  EXPECT_EQ(at("AT+CMGD=7"), "\r\nOK\r\n");
  std::string answer;
  for (int i = 0; i < 50 && answer.find("+CMGR:") == std::string::npos; ++i) {
    std::this_thread::sleep_for(milliseconds(20));
    answer = at("AT+CMGR=7");
  }
  const auto lines = infoLines(answer);
  ASSERT_EQ(lines.size(), 2u) << "the refused message took the freed location";
  auto d = decodeDeliver(lines[1]);
  ASSERT_TRUE(d);
  EXPECT_EQ(encodeUtf8(d.message->userData.text), "one too many");
}

TEST_F(Messaging, MemoriesHaveTheirCapacitiesAndFillUp) {
  start();
  EXPECT_EQ(at("AT+CPMS=\"SM\",\"ME\",\"MT\""), "\r\n+CPMS: 0,20,0,100,0,120\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPMS=\"XX\""), "\r\n+CMS ERROR: 303\r\n");
  const std::string pdu = "079194710167000011000A9194511132540000000BC8329BFD06DDDF723619";
  EXPECT_EQ(at("AT+CMGW=23"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(pdu), "\r\n+CMGW: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPMS=\"MT\";+CMGL=2"),
            "\r\n+CPMS: 1,120,1,100,1,120\r\n\r\n+CMGL: 21,2,,23\r\n" + pdu + "\r\n\r\nOK\r\n")
      << "ME location 1 is MT location 21";
  EXPECT_EQ(at("AT+CPMS=\"SM\",\"SM\",\"SM\""), "\r\n+CPMS: 0,20,0,20,0,20\r\n\r\nOK\r\n");
  for (int i = 1; i <= 20; ++i) {
    ASSERT_EQ(at("AT+CMGW=23,2"), "\r\n> ");
    ASSERT_EQ(client().sendPromptText(pdu), "\r\n+CMGW: " + std::to_string(i) + "\r\n\r\nOK\r\n");
  }
  EXPECT_EQ(at("AT+CMGW=23"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(pdu), "\r\n+CMS ERROR: 322\r\n");
  const auto outcome = modem().injectSms("+4917012345", "no room");
  ASSERT_EQ(outcome.size(), 1u);
  EXPECT_EQ(outcome[0].route, "rejected");
  EXPECT_EQ(at("AT+CMGD=3;+CMGW=23"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(pdu), "\r\n+CMGW: 3\r\n\r\nOK\r\n") << "the freed location is the first free one";
}

TEST_F(Messaging, StoresListsByStatAndDeletesByIndexOrFlag) {
  start();
  const std::string submit = "079194710167000011000A9194511132540000000BC8329BFD06DDDF723619";
  const std::string deliver = "0791947101670000000A9194511132540000425071315403000BC8329BFD06DDDF723619";
  EXPECT_EQ(at("AT+CMGW=23"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(submit), "\r\n+CMGW: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGW=28,1"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(deliver), "\r\n+CMGW: 2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGW=23,1"), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(submit), "\r\n+CMS ERROR: 304\r\n") << "a received message must be a DELIVER";
  EXPECT_EQ(at("AT+CMGL=2"), "\r\n+CMGL: 1,2,,23\r\n" + submit + "\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGL=1"), "\r\n+CMGL: 2,1,,28\r\n" + deliver + "\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGL=5"), "\r\n+CMS ERROR: 304\r\n");
  EXPECT_EQ(at("AT+CMSS=1"), "\r\n+CMSS: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGL=3"), "\r\n+CMGL: 1,3,,23\r\n" + submit + "\r\n\r\nOK\r\n") << "sent from storage";
  EXPECT_EQ(at("AT+CMGD=?"), "\r\n+CMGD: (1,2),(0-4)\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGD=2;+CMGR=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGD=99"), "\r\n+CMS ERROR: 321\r\n");
  EXPECT_EQ(at("AT+CMGD=0,4;+CMGL=4"), "\r\nOK\r\n");
}

TEST_F(Messaging, StatusReportsComeAsCnmiAsksForThem) {
  start();
  modem().update([](ModemContext& ctx) { ctx.centre.reportPlan = {{0, milliseconds(0)}}; });
  const std::string wantsReport = "079194710167000031000A9194511132540000A709D232FC2DA783DA65";
  EXPECT_EQ(at("AT+CNMI=2,1,0,2"), "\r\nOK\r\n");
  EXPECT_EQ(send(wantsReport, 21), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(client().readUntil("+CDSI: \"SM\",1\r\n"), "\r\n+CDSI: \"SM\",1\r\n");
  const auto lines = infoLines(at("AT+CMGR=1"));
  ASSERT_EQ(lines.size(), 2u);
  auto report = decodeStatusReport(lines[1]);
  ASSERT_TRUE(report);
  EXPECT_EQ(report.message->messageReference, 1);
  EXPECT_EQ(report.message->recipient.number, "+4915112345");
  EXPECT_EQ(report.message->status, 0);
  EXPECT_EQ(at("AT+CNMI=2,1,0,1"), "\r\nOK\r\n");
  EXPECT_EQ(send(wantsReport, 21), "\r\n+CMGS: 2\r\n\r\nOK\r\n");
  auto direct = decodeStatusReport(readPduAfter("+CDS: "));
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct.message->messageReference, 2);
  modem().statusReport(2, 0x41);
  auto failed = decodeStatusReport(readPduAfter("+CDS: "));
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed.message->status, 0x41);
}

TEST_F(Messaging, IndicationsWaitWhileAPromptHoldsTheLine) {
  start();
  EXPECT_EQ(at("AT+CNMI=2,1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGS=23"), "\r\n> ");
  modem().injectSms("+4917012345", "during the prompt");
  settle();
  EXPECT_TRUE(client().buffered().empty());
  client().write("\x1b");
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",1\r\n"), "\r\nOK\r\n\r\n+CMTI: \"SM\",1\r\n");
  EXPECT_EQ(at("AT+CNMI=1,1;+CMGS=23"), "\r\n> ");
  modem().injectSms("+4917012345", "mode 1 drops this notice");
  client().write("\x1b");
  EXPECT_EQ(client().readUntil("OK\r\n"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMI=0,1"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "kept in the phone");
  settle();
  EXPECT_EQ(at("AT+CNMI=2,1"), "\r\nOK\r\n");
  EXPECT_EQ(client().readUntil("+CMTI: \"SM\",3\r\n"), "\r\n+CMTI: \"SM\",3\r\n") << "mode 0 kept it until now";
}

TEST_F(Messaging, TheServiceCentreCanBeReadAndSet) {
  start();
  EXPECT_EQ(at("AT+CSCA?"), "\r\n+CSCA: \"+491710760000\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCA=+123,145"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCA?"), "\r\n+CSCA: \"+123\",145\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCA=\"0301\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCA?"), "\r\n+CSCA: \"0301\",129\r\n\r\nOK\r\n");
}

TEST_F(Messaging, AMessageToTheOwnNumberComesBack) {
  start();
  modem().update([](ModemContext& ctx) { ctx.centre.loopbackDelay = milliseconds(0); });
  EXPECT_EQ(at("AT+CNMI=2,1"), "\r\nOK\r\n");
  SmsSubmit s;
  s.destination = SmsAddress::fromText("+491701234567");
  s.userData.text = U"to myself";
  const EncodedPdu pdu = encodeSubmit(s);
  EXPECT_EQ(send(pdu.hex, pdu.tpduLength), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
  EXPECT_FALSE(client().readUntil("+CMTI: \"SM\",1\r\n").empty());
  auto d = decodeDeliver(infoLines(at("AT+CMGR=1"))[1]);
  ASSERT_TRUE(d);
  EXPECT_EQ(encodeUtf8(d.message->userData.text), "to myself");
}

TEST_F(Messaging, TextModeSendsWhatIsTypedAndListsMessagesWithTheirHeaders) {
  start();
  EXPECT_EQ(at("AT+CMGF=?"), "\r\n+CMGF: (0,1)\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGF=1;+CCLK=\"24/05/17,13:45:00+08\";+CSMP?"), "\r\n+CSMP: 17,167,0,0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGS=\"+4915112345\""), "\r\n> ");
  client().write("Hello text mode\rsecond line");
  EXPECT_EQ(client().readUntil("> "), "\r\n> ") << "a new line of the message gets its own prompt";
  EXPECT_EQ(client().sendPromptText(""), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
  auto sent = modem().sentMessages();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].text, "Hello text mode\nsecond line");
  EXPECT_EQ(sent[0].destination, "+4915112345");

  modem().injectSms("+4917012345", "Incoming {text}");
  EXPECT_FALSE(client().readUntil("+CMTI: \"SM\",1\r\n").empty());
  const auto listed = infoLines(at("AT+CMGL=\"ALL\""));
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_TRUE(startsWith(listed[0], "+CMGL: 1,\"REC UNREAD\",\"+4917012345\",,\"24/05/17,13:45:")) << listed[0];
  EXPECT_EQ(listed[1], "Incoming {text}");
  EXPECT_EQ(at("AT+CMGL=\"REC UNREAD\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGL=4"), "\r\n+CMS ERROR: 305\r\n") << "text mode names its stats";
  EXPECT_EQ(at("AT+CSDH=1"), "\r\nOK\r\n");
  const auto read = infoLines(at("AT+CMGR=1"));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_TRUE(startsWith(read[0], "+CMGR: \"REC READ\",\"+4917012345\",,\"24/05/17,13:45:")) << read[0];
  EXPECT_TRUE(endsWith(read[0], "+08\",145,4,0,0,\"+491710760000\",145,15")) << read[0];

  EXPECT_EQ(at("AT+CMGW=\"0301\",129,\"STO UNSENT\""), "\r\n> ");
  EXPECT_EQ(client().sendPromptText("a draft"), "\r\n+CMGW: 2\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSDH=0;+CMGL=\"STO UNSENT\""), "\r\n+CMGL: 2,\"STO UNSENT\",\"0301\",,\r\na draft\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMSS=2"), "\r\n+CMSS: 2\r\n\r\nOK\r\n");

  EXPECT_EQ(at("AT+CNMI=2,2"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "Direct");
  const std::string direct = client().readUntil("Direct\r\n");
  EXPECT_TRUE(startsWith(direct, "\r\n+CMT: \"+4917012345\",,\"24/05/17,13:45:")) << direct;
  EXPECT_TRUE(endsWith(direct, "+08\"\r\nDirect\r\n")) << direct;
  EXPECT_EQ(at("AT+CNMA"), "\r\nOK\r\n");
}

TEST_F(Messaging, TextModeTakesUcs2AndRefusesWhatDoesNotFit) {
  start();
  EXPECT_EQ(at("AT+CMGF=1;+CSCS=\"UCS2\";+CSMP=17,167,0,8"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGS=\"+4915112345\""), "\r\n> ");
  EXPECT_EQ(client().sendPromptText("041F04400438043204350442"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(modem().sentMessages()[0].text, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  EXPECT_EQ(modem().sentMessages()[0].alphabet, "ucs2");
  EXPECT_EQ(at("AT+CMGS=\"+4915112345\""), "\r\n> ");
  EXPECT_EQ(client().sendPromptText("04"), "\r\n+CMS ERROR: 305\r\n") << "not UCS2 hex";
  EXPECT_EQ(at("AT+CSCS=\"IRA\";+CSMP=17,167,0,0;+CMGS=\"1\""), "\r\n> ");
  EXPECT_EQ(client().sendPromptText(std::string(161, 'x')), "\r\n+CMS ERROR: 305\r\n") << "one message only";
  EXPECT_EQ(at("AT+CSMP=0"), "\r\n+CMS ERROR: 305\r\n") << "the first octet must be an SMS-SUBMIT";
}

}  // namespace
}  // namespace fonexa::sim::test
