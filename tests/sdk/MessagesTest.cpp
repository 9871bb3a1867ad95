// Messages in UTF-8 through both facades against the virtual modem: long
// messages joined from the store, sends that ask for a delivery report with
// each outcome the network can give, and the typed events that tell both.
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"
#include "sim/codec/SmsPdu.h"

using namespace Mebrix::Fonexa;
using namespace std::chrono_literals;
using fonexa::sdktest::EventLog;
using fonexa::sdktest::VirtualPhoneTest;
using fonexa::sim::DeliverRequest;
using fonexa::sim::MessageStat;
using fonexa::sim::ModemContext;
using fonexa::sim::ReportStep;

namespace {

const std::string kCjk = "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C";
const std::string kGreek = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
// Greek capitals the GSM alphabet holds: a long text with them stays 7-bit.
const std::string kGreekCapitals = "\xCE\x94\xCE\xA6\xCE\x93\xCE\x9B\xCE\xA9";
const char* kRecipient = "+491701112233";

class SdkMessages : public VirtualPhoneTest {
 protected:
  void SetUp() override {
    StartModem();
    ASSERT_EQ(Module::Initialize(Spec().c_str()), 1);
  }
  void TearDown() override { Module::Uninitialize(); }

  // Three parts of 153 septets each at most, stored as 3 (part 1) and 1
  // (part 3), part 2 never came, and a message of one part in CJK at 2.
  void StoreGappyLongMessage() {
    DeliverRequest request;
    request.originator = "+4930123456";
    request.text = std::string(153, 'a') + std::string(153, 'b') + std::string(100, 'c') + kGreekCapitals;
    request.concatenationReference = 77;
    const auto parts = fonexa::sim::buildDeliverParts(request);
    ASSERT_EQ(parts.size(), 3u);
    DeliverRequest single;
    single.originator = "+4930999";
    single.text = kCjk;
    modem->update([&](ModemContext& ctx) {
      ctx.messages.storeAt("SM", 1, {MessageStat::ReceivedRead, parts[2].hex});
      ctx.messages.storeAt("SM", 2, {MessageStat::ReceivedUnread, fonexa::sim::buildDeliverParts(single)[0].hex});
      ctx.messages.storeAt("SM", 3, {MessageStat::ReceivedRead, parts[0].hex});
    });
  }

  // Lets the session read what the phone sent on its own (a +CDS report)
  // until done() holds: each question to the phone meets the lines before it.
  static bool ExchangeUntil(const std::function<bool()>& done) {
    for (int round = 0; round < 50; ++round) {
      if (done()) return true;
      int rssi = 0;
      Network::GetSignalQuality(rssi);
      std::this_thread::sleep_for(100ms);
    }
    return done();
  }
};

TEST_F(SdkMessages, JoinedListingTakesPartsInAnyOrderAndMarksTheMissingOne) {
  StoreGappyLongMessage();
  const auto joined = Sms::ListJoinedMessages(4);
  ASSERT_TRUE(joined.has_value());
  ASSERT_EQ(joined->size(), 2u);
  // At the place of its first part present: index 3 for part 1.
  const Sms::JoinedSmsEntry* long_ = nullptr;
  const Sms::JoinedSmsEntry* single = nullptr;
  for (const auto& entry : *joined) (entry.GetPartCount() == 3 ? long_ : single) = &entry;
  ASSERT_NE(long_, nullptr);
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(long_->GetPartIndices(), (std::vector<int>{3, -1, 1}));
  EXPECT_EQ(long_->GetMissingParts(), 1);
  EXPECT_FALSE(long_->IsComplete());
  EXPECT_EQ(long_->GetPartReference(), 77);
  EXPECT_EQ(long_->GetKind(), FONEXA_SMS_KIND_RECEIVED);
  EXPECT_STREQ(long_->GetPhoneNumber(), "+4930123456");
  const std::string text = long_->GetMessageText();
  EXPECT_EQ(text, std::string(153, 'a') + std::string(100, 'c') + kGreekCapitals) << "the missing part adds nothing";
  EXPECT_EQ(long_->GetTextLength(), static_cast<int>(text.size()));
  EXPECT_NE(long_->GetTime().wYear, 0);

  EXPECT_EQ(single->GetMessageText(), kCjk);
  EXPECT_EQ(single->GetPartIndices(), (std::vector<int>{2}));
  EXPECT_TRUE(single->IsComplete());
  EXPECT_EQ(single->GetPartReference(), -1);
  EXPECT_EQ(single->GetState(), 0);
}

TEST_F(SdkMessages, PerInstanceFacadeListsTheSameJoined) {
  StoreGappyLongMessage();
  Module::Uninitialize();  // one live instance per process
  Dynamic::Gsm gsm;
  ASSERT_EQ(Dynamic::Module(&gsm).Initialize(Spec()), 1);
  Dynamic::Sms sms(&gsm);
  std::vector<Dynamic::Sms::JoinedSmsEntry> joined;
  ASSERT_EQ(sms.ListJoinedMessages(4, joined), 1);
  ASSERT_EQ(joined.size(), 2u);
  const auto& long_ = joined[0].GetPartCount() == 3 ? joined[0] : joined[1];
  EXPECT_EQ(long_.GetPartIndices(), (std::vector<int>{3, -1, 1}));
  EXPECT_EQ(long_.GetPhoneNumber(), "+4930123456");
  EXPECT_GT(long_.GetTime(), 0);
  const auto parts = sms.ListMessagesUtf8(4);
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(parts->size(), 3u);
  Dynamic::Module(&gsm).Uninitialize();

  Dynamic::Sms detached(Dynamic::BorrowedHandle{nullptr});
  EXPECT_FALSE(detached.ListJoinedMessages(4).has_value()) << "no instance, no listing";
}

TEST_F(SdkMessages, PartListingInUtf8CarriesEachPartsPlace) {
  StoreGappyLongMessage();
  std::vector<Sms::SmsUtf8Entry> parts(5);
  ASSERT_EQ(Sms::ListMessagesUtf8(4, parts), 1);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].GetIndex(), 1);
  EXPECT_EQ(parts[0].GetPartNumber(), 3);
  EXPECT_EQ(parts[0].GetPartCount(), 3);
  EXPECT_EQ(parts[0].GetPartReference(), 77);
  EXPECT_EQ(parts[0].GetMessageText(), std::string(100, 'c') + kGreekCapitals);
  EXPECT_EQ(parts[1].GetMessageText(), kCjk);
  EXPECT_EQ(parts[1].GetPartCount(), 1);
  EXPECT_EQ(parts[2].GetPartNumber(), 1);
  EXPECT_EQ(parts[1].GetReportStatus(), -1);

  Sms::SmsUtf8Entry one;
  ASSERT_EQ(Sms::ReadMessageUtf8(2, one), 1);
  EXPECT_EQ(one.GetMessageText(), kCjk);
  EXPECT_STREQ(one.GetPhoneNumber(), "+4930999");
  EXPECT_EQ(Sms::ReadMessageUtf8(9, one), 0);
  EXPECT_EQ(one.GetIndex(), 2) << "a failed read leaves the entry alone";
}

TEST_F(SdkMessages, SendWithReportTellsEachOutcome) {
  modem->update([](ModemContext& ctx) { ctx.settings.cnmi.ds = 1; });
  EventLog log;
  Events::Register(FONEXA_EVENT_DELIVERY_REPORT,
                   [&log](uint32_t id, const std::string& text, uint32_t value) { log.Add(id, text, value); });
  const struct {
    const char* name;
    std::vector<ReportStep> plan;
    std::vector<std::string> said;
    int status;
  } cases[] = {
      {"delivered", {{0x00, 0ms}}, {"delivered"}, FONEXA_DELIVERY_DELIVERED},
      {"pending, then delivered", {{0x20, 0ms}, {0x00, 600ms}}, {"pending", "delivered"}, FONEXA_DELIVERY_DELIVERED},
      {"failed", {{0x41, 0ms}}, {"failed"}, FONEXA_DELIVERY_FAILED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    modem->setReportPlan(c.plan, true);
    const size_t before = log.Count();
    SmsSendOptions options;
    options.deliveryReport = true;
    SmsSendResult result;
    const int id = Sms::SendMessageUtf8(kRecipient, (std::string("report ") + c.name + " " + kGreek).c_str(),
                                        options, result);
    ASSERT_GT(id, 0);
    EXPECT_EQ(result.messageId, id);
    ASSERT_EQ(result.references.size(), 1u);
    EXPECT_EQ(result.references[0], modem->sentMessages().back().reference);
    EXPECT_TRUE(modem->sentMessages().back().statusReportRequested);
    ASSERT_TRUE(ExchangeUntil([&] { return log.Count() >= before + c.said.size(); }));
    const auto events = log.Events();
    for (size_t i = 0; i < c.said.size(); ++i) {
      const Events::DeliveryEvent report(events[before + i].text.c_str(), events[before + i].value);
      EXPECT_EQ(report.GetMessageId(), id);
      EXPECT_STREQ(report.GetStatusName(), c.said[i].c_str());
    }
    EXPECT_EQ(Sms::GetDeliveryStatus(id), c.status);
  }
}

TEST_F(SdkMessages, ALongMessageWithReportsNamesEveryPart) {
  modem->update([](ModemContext& ctx) { ctx.settings.cnmi.ds = 1; });
  // The first part's report comes at once, before the second part's prompt:
  // the prompt is still found behind it.
  modem->setReportPlan({{0x00, 0ms}});
  Dynamic::Sms sms(Dynamic::BorrowedHandle{nullptr});
  SmsSendOptions options;
  options.deliveryReport = true;
  SmsSendResult result;
  EXPECT_EQ(sms.SendMessageUtf8(kRecipient, "x", options, result), 0) << "no instance sends nothing";
  EXPECT_TRUE(result.references.empty());

  const int id = Sms::SendMessageUtf8(kRecipient, (std::string(100, 'x') + kGreek).c_str(), options, result);
  ASSERT_GT(id, 0);
  ASSERT_EQ(result.references.size(), 2u);
  EXPECT_NE(result.references[0], result.references[1]);
  ASSERT_EQ(modem->sentMessages().size(), 2u);
  EXPECT_TRUE(modem->sentMessages()[1].statusReportRequested);
  EXPECT_TRUE(ExchangeUntil([id] { return Sms::GetDeliveryStatus(id) == FONEXA_DELIVERY_DELIVERED; }));

  // Without the option the network is not asked, and no report comes.
  SmsSendResult plain;
  const int quiet = Sms::SendMessageUtf8(kRecipient, "no report", SmsSendOptions{}, plain);
  ASSERT_GT(quiet, 0);
  EXPECT_FALSE(modem->sentMessages().back().statusReportRequested);
  EXPECT_EQ(Sms::GetDeliveryStatus(quiet), FONEXA_DELIVERY_WAITING);
  EXPECT_EQ(Sms::GetDeliveryStatus(987654), FONEXA_DELIVERY_UNKNOWN);
}

TEST_F(SdkMessages, PartsDeliveredToTheTerminalComeAsOneJoinedEvent) {
  EventLog joined;
  Events::Register(FONEXA_EVENT_JOINED_MESSAGE,
                   [&joined](uint32_t id, const std::string& text, uint32_t value) { joined.Add(id, text, value); });
  modem->update([](ModemContext& ctx) { ctx.settings.cnmi.mt = 2; });
  DeliverRequest request;
  request.originator = "+4930555";
  request.text = std::string(100, 'w') + kCjk;
  request.concatenationReference = 12;
  const auto parts = fonexa::sim::buildDeliverParts(request);
  ASSERT_EQ(parts.size(), 2u);
  modem->update([&](ModemContext& ctx) {
    ctx.centre.deliver(parts[1]);
    ctx.centre.deliver(parts[0]);
  });
  ASSERT_TRUE(ExchangeUntil([&] { return joined.Count() >= 1; }));
  const auto event = joined.Events()[0];
  const Events::JoinedMessageEvent message(event.text.c_str(), event.value);
  EXPECT_STREQ(message.GetSender(), "+4930555");
  EXPECT_EQ(message.GetText(), request.text);
  EXPECT_TRUE(message.IsComplete());
}

TEST(SdkMessageEvents, DeliveryEventsAreTypedAndUnknownWordsStayUnknown) {
  const Events::DeliveryEvent failed("failed", 7);
  EXPECT_EQ(failed.GetMessageId(), 7);
  EXPECT_EQ(failed.GetStatus(), FONEXA_DELIVERY_FAILED);
  EXPECT_EQ(Dynamic::Events::DeliveryEvent("pending", 3).GetStatus(), FONEXA_DELIVERY_PENDING);
  EXPECT_EQ(Events::DeliveryEvent("delivered", 1).GetStatus(), FONEXA_DELIVERY_DELIVERED);
  // The engine never raises "waiting": a text it does not raise is no outcome.
  EXPECT_EQ(Events::DeliveryEvent("waiting", 1).GetStatus(), FONEXA_DELIVERY_UNKNOWN);
  EXPECT_EQ(Events::DeliveryEvent(nullptr, 1).GetStatus(), FONEXA_DELIVERY_UNKNOWN);
  EXPECT_STREQ(Events::DeliveryEvent("Delivered", 1).GetStatusName(), "unknown");
  EXPECT_STREQ(DeliveryStatusName(FONEXA_DELIVERY_WAITING), "waiting");
  EXPECT_STREQ(DeliveryStatusName(FONEXA_DELIVERY_UNKNOWN), "unknown");
  EXPECT_STREQ(DeliveryStatusName(42), "unknown");
}

TEST(SdkMessageEvents, JoinedEventSplitsAtTheFirstMarkAndCountsWhatIsMissing) {
  const Dynamic::Events::JoinedMessageEvent message("+4930555#\xC3\xA9t\xC3\xA9 #2", 2);
  EXPECT_EQ(message.GetSender(), "+4930555");
  EXPECT_EQ(message.GetText(), "\xC3\xA9t\xC3\xA9 #2");
  EXPECT_EQ(message.GetMissingParts(), 2);
  EXPECT_FALSE(message.IsComplete());
  const Events::JoinedMessageEvent bare("no mark", 0);
  EXPECT_STREQ(bare.GetSender(), "");
  EXPECT_STREQ(bare.GetText(), "");
}

TEST(SdkJoinedRecord, PartIndicesFollowTheCountWithinTheRecord) {
  auto record = std::make_unique<MxJoinedSmsRecord>();
  std::memset(record.get(), 0, sizeof(MxJoinedSmsRecord));
  for (int i = 0; i < FONEXA_MAX_PARTS; ++i) record->partIndices[i] = i + 1;
  record->partIndices[1] = -1;
  record->partCount = 3;
  record->missingParts = 1;
  // A text that fills its field without an end stays within it.
  std::memset(record->messageText, 'z', sizeof record->messageText);
  const Dynamic::Sms::JoinedSmsEntry entry(*record);
  EXPECT_EQ(entry.GetPartIndices(), (std::vector<int>{1, -1, 3}));
  EXPECT_EQ(entry.GetMessageText().size(), sizeof record->messageText);
  record->partCount = 100000;
  EXPECT_EQ(Sms::JoinedSmsEntry(*record).GetPartIndices().size(), static_cast<size_t>(FONEXA_MAX_PARTS));
  record->partCount = -4;
  EXPECT_TRUE(Sms::JoinedSmsEntry(*record).GetPartIndices().empty());
}

}  // namespace
