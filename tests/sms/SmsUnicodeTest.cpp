// Messages as users meet them, end to end against the virtual phone: texts in
// any script sent and read back in UTF-8, long messages joined from the store
// and from deliveries to the terminal, and delivery reports for each outcome,
// delivered to the terminal (+CDS) and stored (+CDSI).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SessionFixture.h"
#include "SimulatedPhone.h"
#include "codec/DeliveryReports.h"
#include "codec/MessageJoining.h"
#include "services/CMxGsmSms.h"

using fonexa::DeliveryOutcome;
using fonexa::DeliveryTracker;
using fonexa::JoinedMessage;
using fonexa::SmsEntry;
using fonexa::sim::DeliverRequest;
using fonexa::sim::Direction;
using fonexa::sim::ModemContext;
using fonexa::sim::Registration;
using fonexa::testing::RecordingHandler;
using fonexa::testing::SimulatedPhone;
using std::chrono::milliseconds;

namespace {

const std::string kGreek = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 \xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xB5";
const std::string kCyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80!";
const std::string kCjk = "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C";
const std::string kEmoji = "\xF0\x9F\x98\x80";
const std::string kExtension = "\xE2\x82\xAC 5 [x] {y} ~ ^ | \\ \xCE\xA3\xCE\xA9 \xC2\xA4";

}  // namespace

class SmsUnicode : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<SimulatedPhone>("GenericPhone"); }
  static void TearDownTestSuite() { phone.reset(); }
  void SetUp() override {
    modem().update([](ModemContext& ctx) {
      ctx.messages.clear();
      ctx.centre.clearSent();
      ctx.settings.cnmi.mt = 1;
      ctx.settings.cnmi.ds = 0;
      ctx.centre.reportPlan = {fonexa::sim::ReportStep{}};
      ctx.centre.nextReportPlans.clear();
    });
    modem().setRegistration(Registration::Home);
    DeliveryTracker::Process().Clear();
    fonexa::PartAssembler::Process().Clear();
  }

  static fonexa::sim::VirtualModem& modem() { return *phone->modem; }

  // Lets the session read what the phone sent on its own: one exchange under
  // the lock, whose release acknowledges a message delivered to the terminal.
  void Exchange() {
    ASSERT_EQ(phone->session.Attach("test", 5000), 1);
    std::vector<SmsEntry> list;
    sms.ReadSmsEntries(0, list);
    phone->session.Detach();
  }

  // What reached the network, parts joined, as the phone's own codec reads it.
  static std::string SentText() {
    std::string joined;
    modem().update([&](ModemContext& ctx) {
      for (const auto& sent : ctx.centre.sentTexts()) joined += sent.second;
    });
    return joined;
  }

  // Sends with a report asked for; the message's id.
  int SendWithReport(const std::string& text, std::vector<int>& references) {
    int id = 0;
    EXPECT_EQ(sms.SendUtf8Message("+491701112233", text, false, true, references, id), 1);
    return id;
  }

  static std::unique_ptr<SimulatedPhone> phone;
  CMxGsmSms sms{&phone->session};
};

std::unique_ptr<SimulatedPhone> SmsUnicode::phone;

TEST_F(SmsUnicode, EveryScriptTravelsBothWaysInUtf8) {
  const std::string texts[] = {kGreek, kCyrillic, kCjk, kExtension,
                               // the emoji sits on the boundary of the first part (67 units)
                               std::string(66, 'e') + kCjk.substr(0, 3) + kEmoji + " " + kCyrillic,
                               // 160 septets with escape pairs over the 152-septet boundary
                               std::string(151, 's') + kExtension};
  for (const std::string& text : texts) {
    modem().update([](ModemContext& ctx) {
      ctx.messages.clear();
      ctx.centre.clearSent();
    });
    std::vector<int> references;
    int id = 0;
    ASSERT_EQ(sms.SendUtf8Message("+491701112233", text, false, false, references, id), 1) << text;
    EXPECT_EQ(SentText(), text) << "nothing becomes \"?\" on the way out";
    for (const auto& sent : modem().sentMessages()) {
      EXPECT_EQ(sent.text.find("\xEF\xBF\xBD"), std::string::npos) << "a pair was cut: " << text;
    }

    // And back: the network delivers the text in parts of its own making.
    modem().update([&](ModemContext& ctx) {
      DeliverRequest request;
      request.originator = "+491701112233";
      request.text = text;
      ctx.centre.deliverText(request);
    });
    std::vector<JoinedMessage> joined;
    ASSERT_EQ(sms.ReadJoinedMessages(4, joined), 1);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].TextUtf8, text);
    EXPECT_EQ(joined[0].MissingParts, 0);
  }
}

TEST_F(SmsUnicode, JoinedListingTakesPartsInAnyOrderAndSaysWhatIsMissing) {
  DeliverRequest request;
  request.originator = "+4930123456";
  request.text = std::string(150, 'a') + std::string(150, 'b') + std::string(150, 'c');
  request.concatenationReference = 77;
  const auto parts = fonexa::sim::buildDeliverParts(request);
  ASSERT_EQ(parts.size(), 3u);
  modem().update([&](ModemContext& ctx) {
    ctx.messages.storeAt("SM", 1, {fonexa::sim::MessageStat::ReceivedRead, parts[2].hex});
    ctx.messages.storeAt("SM", 3, {fonexa::sim::MessageStat::ReceivedRead, parts[0].hex});
    DeliverRequest single;
    single.originator = "+4930123456";
    single.text = kCjk;
    ctx.messages.storeAt("SM", 2,
                         {fonexa::sim::MessageStat::ReceivedRead, fonexa::sim::buildDeliverParts(single)[0].hex});
  });
  std::vector<JoinedMessage> joined;
  ASSERT_EQ(sms.ReadJoinedMessages(4, joined), 1);
  ASSERT_EQ(joined.size(), 2u);
  const JoinedMessage& long_ = joined[0];
  EXPECT_EQ(long_.PartCount, 3);
  EXPECT_EQ(long_.PartReference, 77);
  EXPECT_EQ(long_.MissingParts, 1);
  EXPECT_EQ(long_.PartIndices, (std::vector<int>{3, -1, 1}));
  EXPECT_EQ(long_.TextUtf8, long_.PartTexts[0] + long_.PartTexts[2]);
  EXPECT_EQ(long_.TextUtf8.substr(0, 150), std::string(150, 'a'));
  EXPECT_EQ(long_.TextUtf8.back(), 'c');
  EXPECT_EQ(joined[1].TextUtf8, kCjk);
  EXPECT_EQ(joined[1].PartIndices, (std::vector<int>{2}));

  // The raw listing is what it always was: one entry per stored part.
  std::vector<SmsEntry> raw;
  ASSERT_EQ(sms.ReadSmsEntries(4, raw), 1);
  EXPECT_EQ(raw.size(), 3u);
}

TEST_F(SmsUnicode, DirectReportsTellEachOutcomeOfTheMessageSent) {
  RecordingHandler handler;
  const uint32_t key = phone->session.RegisterEvent(fonexa::kEventDeliveryReport, &handler);
  modem().update([](ModemContext& ctx) { ctx.settings.cnmi.ds = 1; });
  const struct {
    int status;
    const char* said;
    DeliveryOutcome outcome;
  } cases[] = {{0x00, "delivered", DeliveryOutcome::Delivered},
               {0x20, "pending", DeliveryOutcome::Pending},
               {0x41, "failed", DeliveryOutcome::Failed},
               {0x62, "failed", DeliveryOutcome::Failed}};
  for (const auto& c : cases) {
    handler.events.clear();
    modem().setReportPlan({{c.status, milliseconds(0)}}, true);
    const size_t outMark = modem().transcript().size(Direction::Out);
    std::vector<int> references;
    const int id = SendWithReport("report " + std::to_string(c.status), references);
    ASSERT_EQ(references.size(), 1u);
    ASSERT_TRUE(modem().transcript().waitFor(Direction::Out, "+CDS:", std::chrono::seconds(5), outMark));
    Exchange();
    ASSERT_EQ(handler.events.size(), 1u) << c.said;
    EXPECT_EQ(handler.events[0].text, c.said);
    EXPECT_EQ(handler.events[0].value, static_cast<uint32_t>(id));
    EXPECT_EQ(DeliveryTracker::Process().Outcome(id), c.outcome);
  }
  phone->session.UnregisterEvent(key);
}

TEST_F(SmsUnicode, ALongMessageIsDeliveredOnlyWhenEveryPartIs) {
  modem().update([](ModemContext& ctx) { ctx.settings.cnmi.ds = 1; });
  // Each part is a message of its own to the network: part 1 delivered,
  // part 2 first pending, then failed. The reports come once every part is
  // sent, as they do from a network.
  modem().setReportPlan({{0x00, milliseconds(500)}}, true);
  modem().setReportPlan({{0x30, milliseconds(500)}, {0x46, milliseconds(900)}}, true);
  std::vector<int> references;
  const int id = SendWithReport(std::string(100, 'x') + kGreek, references);
  ASSERT_EQ(references.size(), 2u);
  EXPECT_NE(references[0], references[1]);
  std::this_thread::sleep_for(milliseconds(700));
  Exchange();
  EXPECT_EQ(DeliveryTracker::Process().Outcome(id), DeliveryOutcome::Pending);
  std::this_thread::sleep_for(milliseconds(500));
  Exchange();
  EXPECT_EQ(DeliveryTracker::Process().Outcome(id), DeliveryOutcome::Failed);

  modem().setReportPlan({{0x00, milliseconds(500)}});
  const int second = SendWithReport(std::string(100, 'y') + kGreek, references);
  std::this_thread::sleep_for(milliseconds(700));
  Exchange();
  EXPECT_EQ(DeliveryTracker::Process().Outcome(second), DeliveryOutcome::Delivered);
}

TEST_F(SmsUnicode, StoredReportsAreReadAndMatchedWhenListed) {
  RecordingHandler handler;
  const uint32_t key = phone->session.RegisterEvent(fonexa::kEventDeliveryReport, &handler);
  modem().update([](ModemContext& ctx) { ctx.settings.cnmi.ds = 2; });
  modem().setReportPlan({{0x00, milliseconds(0)}});
  const size_t outMark = modem().transcript().size(Direction::Out);
  std::vector<int> references;
  const int id = SendWithReport(kCyrillic, references);
  ASSERT_TRUE(modem().transcript().waitFor(Direction::Out, "+CDSI:", std::chrono::seconds(5), outMark));
  std::vector<SmsEntry> list;
  ASSERT_EQ(sms.ReadSmsEntries(4, list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].MessageKind, SmsEntry::StatusReport);
  EXPECT_EQ(list[0].PhoneNumber, "+491701112233");
  EXPECT_EQ(list[0].ReportReference, references[0]);
  EXPECT_EQ(list[0].ReportStatus, 0);
  EXPECT_EQ(list[0].MessageText, "delivered");
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].value, static_cast<uint32_t>(id));
  EXPECT_EQ(sms.ReadSmsEntries(4, list), 1);
  EXPECT_EQ(handler.events.size(), 1u) << "a report listed again tells nothing new";
  phone->session.UnregisterEvent(key);
}

TEST_F(SmsUnicode, PartsDeliveredToTheTerminalComeAsOneMessage) {
  RecordingHandler joinedEvents;
  RecordingHandler partEvents;
  const uint32_t joinedKey = phone->session.RegisterEvent(fonexa::kEventJoinedMessage, &joinedEvents);
  const uint32_t partKey = phone->session.RegisterEvent(0x100, &partEvents);
  fonexa::PartAssembler::Process().SetTimeLimit(400);
  modem().update([](ModemContext& ctx) { ctx.settings.cnmi.mt = 2; });

  DeliverRequest whole;
  whole.originator = "+4930555";
  whole.text = std::string(120, 'w') + kEmoji + kCyrillic;
  whole.concatenationReference = 9;
  DeliverRequest gappy = whole;
  gappy.text = std::string(200, 'g') + "middle" + std::string(200, 'h');
  gappy.concatenationReference = 10;
  const auto gappyParts = fonexa::sim::buildDeliverParts(gappy);
  ASSERT_EQ(gappyParts.size(), 3u);
  modem().update([&](ModemContext& ctx) {
    for (const auto& pdu : fonexa::sim::buildDeliverParts(whole)) ctx.centre.deliver(pdu);
    ctx.centre.deliver(gappyParts[2]);
    ctx.centre.deliver(gappyParts[0]);
  });
  // One +CMT at a time: each waits for the acknowledgement of the one before.
  for (int round = 0; round < 50 && partEvents.events.size() < 4; ++round) {
    Exchange();
    std::this_thread::sleep_for(milliseconds(100));
  }
  ASSERT_EQ(partEvents.events.size(), 4u) << "the per-part events stay as they are";
  ASSERT_EQ(joinedEvents.events.size(), 1u);
  EXPECT_EQ(joinedEvents.events[0].text, "+4930555#" + whole.text);
  EXPECT_EQ(joinedEvents.events[0].value, 0u);

  std::this_thread::sleep_for(milliseconds(500));
  Exchange();  // the background monitor's listing gives up on the missing part
  ASSERT_EQ(joinedEvents.events.size(), 2u);
  EXPECT_EQ(joinedEvents.events[1].value, 1u) << "one part missing";
  EXPECT_EQ(joinedEvents.events[1].text.substr(0, 9 + 10), "+4930555#gggggggggg");
  fonexa::PartAssembler::Process().SetTimeLimit(fonexa::PartAssembler::kDefaultTimeLimitMs);
  phone->session.UnregisterEvent(joinedKey);
  phone->session.UnregisterEvent(partKey);
}
