// The SMS service end to end against the virtual phone, which decodes what is
// submitted with its own codec: long texts in parts, flash and 16-bit texts,
// storing, listing, reading and deleting, storages, the service centre, and a
// message delivered straight to the terminal.
#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "SessionFixture.h"
#include "SimulatedPhone.h"
#include "services/CMxGsmSms.h"

using fonexa::SmsEntry;
using fonexa::sim::DeliverRequest;
using fonexa::sim::ModemContext;
using fonexa::sim::Registration;
using fonexa::sim::SentMessage;
using fonexa::sim::SmsTimestamp;
using fonexa::testing::RecordingHandler;
using fonexa::testing::SimulatedPhone;

namespace {

// Message texts are Latin-1; the virtual phone reports UTF-8.
std::string Utf8(const std::string& latin1) {
  std::string out;
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

int64_t LocalSeconds(const SmsTimestamp& t) {
  std::tm fields{};
  fields.tm_year = t.year - 1900;
  fields.tm_mon = t.month - 1;
  fields.tm_mday = t.day;
  fields.tm_hour = t.hour;
  fields.tm_min = t.minute;
  fields.tm_sec = t.second;
  fields.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&fields));
}

// 200 characters of the default alphabet that show where a part was cut.
std::string NumberedText(size_t length) {
  std::string text;
  for (size_t i = 0; text.size() < length; ++i) text += std::to_string(i % 10) + "abcdefgh ";
  return text.substr(0, length);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

class SmsService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { phone = std::make_unique<SimulatedPhone>("GenericPhone"); }
  static void TearDownTestSuite() { phone.reset(); }
  void SetUp() override {
    modem().update([](ModemContext& ctx) {
      ctx.messages.clear();
      ctx.centre.clearSent();
    });
    modem().setRegistration(Registration::Home);
  }

  static fonexa::sim::VirtualModem& modem() { return *phone->modem; }

  // Stores a received message with a known service-centre time stamp.
  static int StoreReceived(const std::string& from, const std::string& text, const SmsTimestamp& time) {
    int index = -1;
    modem().update([&](ModemContext& ctx) {
      ctx.settings.cnmi.mt = 1;  // to memory, announced by +CMTI
      DeliverRequest request;
      request.originator = from;
      request.text = text;
      request.time = time;
      const auto outcomes = ctx.centre.deliverText(request);
      if (outcomes.size() == 1 && outcomes[0].route == "stored") index = outcomes[0].index;
    });
    return index;
  }

  static std::unique_ptr<SimulatedPhone> phone;
  CMxGsmSms sms{&phone->session};
};

std::unique_ptr<SimulatedPhone> SmsService::phone;

TEST_F(SmsService, LongTextGoesOutInPartsOfOneMessage) {
  const std::string text = NumberedText(200);
  const size_t mark = phone->Mark();
  ASSERT_EQ(sms.SendTextMessage("+491701112233", text), 1);
  EXPECT_EQ(Count(phone->ReceivedSince(mark), "AT+CMGS="), 2u);
  const std::vector<SentMessage> sent = modem().sentMessages();
  ASSERT_EQ(sent.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(sent[i].concatenation.has_value());
    EXPECT_EQ(sent[i].concatenation->total, 2);
    EXPECT_EQ(sent[i].concatenation->sequence, i + 1);
    EXPECT_EQ(sent[i].destination, "+491701112233");
    EXPECT_EQ(sent[i].alphabet, "gsm7");
  }
  EXPECT_EQ(sent[0].concatenation->reference, sent[1].concatenation->reference);
  EXPECT_EQ(sent[0].text, text.substr(0, 152));
  EXPECT_EQ(sent[1].text, text.substr(152));

  // The next long message carries a reference of its own.
  ASSERT_EQ(sms.SendTextMessage("+491701112233", text), 1);
  const std::vector<SentMessage> again = modem().sentMessages();
  ASSERT_EQ(again.size(), 4u);
  EXPECT_EQ(again[2].concatenation->reference, again[3].concatenation->reference);
  EXPECT_NE(again[2].concatenation->reference, sent[0].concatenation->reference);
}

TEST_F(SmsService, FirstPartRefusedSendsNoSecond) {
  modem().setRegistration(Registration::NotRegistered);
  const size_t mark = phone->Mark();
  EXPECT_EQ(sms.SendTextMessage("+491701112233", NumberedText(200)), 0);
  EXPECT_EQ(Count(phone->ReceivedSince(mark), "AT+CMGS="), 1u);
  EXPECT_TRUE(modem().sentMessages().empty());
}

TEST_F(SmsService, TextsArriveAsSent) {
  // e acute and the extension characters travel in the default alphabet;
  // a acute has no code there and takes the message to 16-bit.
  const std::string seven = "Caf\xE9 [menu] {today} ~5\xA4 | back\\slash ^";
  const std::string sixteen = "Ol\xE1, " + std::string(65, 'x');
  ASSERT_EQ(sixteen.size(), 70u);
  ASSERT_EQ(sms.SendTextMessage("5551234", seven), 1);
  ASSERT_EQ(sms.SendFlashMessage("+4930123456", sixteen), 1);
  ASSERT_EQ(sms.SendFlashMessage("+4930123456", "Flash!"), 1);
  const std::vector<SentMessage> sent = modem().sentMessages();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].destination, "5551234");
  EXPECT_EQ(sent[0].alphabet, "gsm7");
  EXPECT_EQ(sent[0].text, Utf8(seven));
  EXPECT_EQ(sent[0].messageClass, -1);
  EXPECT_EQ(sent[1].alphabet, "ucs2");
  EXPECT_EQ(sent[1].messageClass, 0);
  EXPECT_EQ(sent[1].text, Utf8(sixteen));
  EXPECT_EQ(sent[2].alphabet, "gsm7");
  EXPECT_EQ(sent[2].messageClass, 0);
  EXPECT_EQ(sent[2].text, "Flash!");

  const size_t mark = phone->Mark();
  EXPECT_EQ(sms.SendFlashMessage("+4930123456", sixteen + "x"), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
}

TEST_F(SmsService, ReceivedMessageIsListedReadAndDeleted) {
  const SmsTimestamp stamp{2024, 3, 15, 10, 20, 30, 4};
  const int index = StoreReceived("+491709876543", "Meet at 8, Gate \xC4", stamp);
  ASSERT_GE(index, 0);

  std::vector<SmsEntry> list;
  ASSERT_EQ(sms.ReadSmsEntries(0, list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Index, index);
  EXPECT_EQ(list[0].State, 0);
  EXPECT_EQ(list[0].PhoneNumber, "+491709876543");
  EXPECT_EQ(list[0].ProviderPhone, "+491710760000");
  EXPECT_EQ(list[0].MessageText, "Meet at 8, Gate \xC4");
  EXPECT_EQ(list[0].Time, LocalSeconds(stamp));
  ASSERT_EQ(sms.ReadSmsEntries(0, list), 1);
  EXPECT_TRUE(list.empty());  // listed once, it is read

  SmsEntry entry;
  ASSERT_EQ(sms.ReadSmsEntry(index, entry), 1);
  EXPECT_EQ(entry.Index, index);
  EXPECT_EQ(entry.State, 1);
  EXPECT_EQ(entry.MessageText, "Meet at 8, Gate \xC4");
  EXPECT_EQ(entry.Time, LocalSeconds(stamp));

  ASSERT_EQ(sms.DeleteMessage(index), 1);
  SmsEntry after;
  EXPECT_EQ(sms.ReadSmsEntry(index, after), 0);
  EXPECT_EQ(after.Index, -1);
  EXPECT_EQ(sms.DeleteMessage(9999), 0);
  ASSERT_EQ(sms.ReadSmsEntries(4, list), 1);
  EXPECT_TRUE(list.empty());
}

TEST_F(SmsService, StoredTextIsListedAsUnsent) {
  const int index = sms.WriteSmsEntry("+4930123456", "Draft: call back");
  ASSERT_GE(index, 0);
  StoreReceived("+491709876543", "Incoming", SmsTimestamp{2024, 1, 2, 3, 4, 5, 0});
  std::vector<SmsEntry> list;
  ASSERT_EQ(sms.ReadSmsEntries(2, list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Index, index);
  EXPECT_EQ(list[0].State, 2);
  EXPECT_EQ(list[0].PhoneNumber, "+4930123456");
  EXPECT_EQ(list[0].MessageText, "Draft: call back");
  ASSERT_EQ(sms.ReadSmsEntries(4, list), 1);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(sms.WriteSmsEntry("+4930123456", std::string(161, 'a')), -1);
}

TEST_F(SmsService, StorageIsSelectedAndCounted) {
  int storage = -1;
  int used = -1;
  int total = -1;
  modem().update([](ModemContext& ctx) { ctx.messages = fonexa::sim::SmsStore(5, 20); });
  ASSERT_EQ(sms.GetSmsStorage(storage, used, total), 1);
  EXPECT_EQ(std::vector<int>({storage, used, total}), std::vector<int>({0, 0, 5}));
  ASSERT_EQ(sms.SetSmsStorage(1), 1);
  ASSERT_GE(sms.WriteSmsEntry("5551234", "in the phone"), 0);
  ASSERT_EQ(sms.GetSmsStorage(storage, used, total), 1);
  EXPECT_EQ(std::vector<int>({storage, used, total}), std::vector<int>({1, 1, 20}));
  ASSERT_EQ(sms.SetSmsStorage(2), 1);
  ASSERT_EQ(sms.GetSmsStorage(storage, used, total), 1);
  EXPECT_EQ(std::vector<int>({storage, used, total}), std::vector<int>({2, 1, 25}));
  ASSERT_EQ(sms.SetSmsStorage(0), 1);
  const size_t mark = phone->Mark();
  EXPECT_EQ(sms.SetSmsStorage(3), 0);
  EXPECT_EQ(phone->ReceivedSince(mark), "");
}

TEST_F(SmsService, ServiceCentreIsSetAndRead) {
  std::string number;
  int type = 0;
  ASSERT_EQ(sms.SetServiceCenter("+447785016005"), 1);
  ASSERT_EQ(sms.GetServiceCenter(number, type), 1);
  EXPECT_EQ(number, "\"+447785016005\"");
  EXPECT_EQ(type, 145);
  ASSERT_EQ(sms.SetServiceCenter("0171076000"), 1);
  ASSERT_EQ(sms.GetServiceCenter(number, type), 1);
  EXPECT_EQ(number, "\"0171076000\"");
  EXPECT_EQ(type, 129);
  ASSERT_EQ(sms.SetServiceCenter("+491710760000"), 1);
}

TEST_F(SmsService, DirectlyDeliveredMessageRaisesTheDecodedEvent) {
  CMxGsmBasics& session = phone->session;
  RecordingHandler handler;
  const uint32_t key = session.RegisterEvent(0x100, &handler);
  const SmsTimestamp stamp{2023, 12, 24, 18, 0, 5, 4};
  const size_t outMark = modem().transcript().size(fonexa::sim::Direction::Out);
  modem().update([&](ModemContext& ctx) {
    ctx.settings.cnmi.mt = 2;  // straight to the terminal, acknowledged with +CNMA
    DeliverRequest request;
    request.originator = "+491709876543";
    request.text = "Frohe Weihnachten #1";
    request.time = stamp;
    ctx.centre.deliverText(request);
  });
  ASSERT_TRUE(modem().transcript().waitFor(fonexa::sim::Direction::Out, "+CMT:", std::chrono::seconds(5), outMark));

  // The next exchange meets the code in its answer; the lock's release
  // acknowledges the message.
  ASSERT_EQ(session.Attach("test", 5000), 1);
  std::vector<SmsEntry> list;
  EXPECT_EQ(sms.ReadSmsEntries(4, list), 1);
  ASSERT_EQ(handler.events.size(), 1u);
  EXPECT_EQ(handler.events[0].text, "+491709876543#Frohe Weihnachten #1");
  EXPECT_EQ(handler.events[0].value, static_cast<uint32_t>(LocalSeconds(stamp)));
  EXPECT_EQ(session.IsAcknowledgePending(), 1);
  const size_t mark = phone->Mark();
  EXPECT_EQ(session.Detach(), 1);
  EXPECT_EQ(phone->ReceivedSince(mark), "AT+CNMA=0\r");
  bool pending = true;
  modem().update([&](ModemContext& ctx) {
    pending = ctx.centre.acknowledgementPending();
    ctx.settings.cnmi.mt = 1;
  });
  EXPECT_FALSE(pending);
  session.UnregisterEvent(key);
}
