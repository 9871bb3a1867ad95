// Replies that real phones and modems gave, each case named after the device
// it came from (README.md names the source and licence of each), run through
// the pure parsers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/NetworkResponses.h"
#include "codec/PhoneBookResponses.h"
#include "codec/SmsResponses.h"
#include "codec/UnsolicitedResponses.h"

using fonexa::OperatorEntry;

namespace {

struct Operator {
  int state;
  const char* name;
  int code;
};

struct CopsCase {
  const char* device;
  const char* reply;
  std::vector<Operator> operators;
};

// +COPS=? answers; the phones' access technology is not kept.
const CopsCase kCopsCases[] = {
    {"BUSlink SCWi275u (Motorola C-series)", "+COPS: (2,\"T-Mobile\",\"\",\"310260\"),(0,\"Cingular Wireless\",\"\",\"310410\")",
     {{2, "T-Mobile", 310260}, {0, "Cingular Wireless", 310410}}},
    {"Ericsson F3507g",
     "+COPS: (2,\"T - Mobile\",\"T - Mobile\",\"31026\",0),(1,\"AT&T\",\"AT&T\",\"310410\",0),(1,\"AT&T\",\"AT&T\",\"310410\",2)",
     {{2, "T - Mobile", 31026}, {1, "AT&T", 310410}, {1, "AT&T", 310410}}},
    {"ZTE MF622", "+COPS: (2,\"T-Mobile\",\"T-Mobile\",\"31026\",0),(1,\"\",\"\",\"310410\",0),",
     {{2, "T-Mobile", 31026}, {1, "", 310410}}},
    {"ZTE MF627 (A)",
     "+COPS: (2,\"AT&T@\",\"AT&TD\",\"310410\",0),(3,\"Voicestream Wireless Corporation\",\"VSTREAM\",\"31026\",0),",
     {{2, "AT&T@", 310410}, {3, "Voicestream Wireless Corporation", 31026}}},
    {"Sierra AirCard 860",
     "+COPS: (2,\"T-Mobile\",\"TMO\",\"31026\",0),(1,\"Cingular\",\"Cinglr\",\"310410\",2),(1,\"Cingular\",\"Cinglr\",\"310410\",0),,)",
     {{2, "T-Mobile", 31026}, {1, "Cingular", 310410}, {1, "Cingular", 310410}}},
    {"Sierra AirCard 881",
     "+COPS: (1,\"T-Mobile\",\"TMO\",\"31026\",0),(1,\"AT&T\",\"AT&T\",\"310410\",2),(1,\"AT&T\",\"AT&T\",\"310410\",0),,(0,1,2,3,4),)",
     {{1, "T-Mobile", 31026}, {1, "AT&T", 310410}, {1, "AT&T", 310410}}},
    {"Option GlobeTrotter 3G+ (nozomi)",
     "+COPS: (1,\"T-Mobile US\",\"TMO US\",\"31026\",0),(1,\"Cingular\",\"Cingular\",\"310410\",0),,(0, 1, 3),(0-2)",
     {{1, "T-Mobile US", 31026}, {1, "Cingular", 310410}}},
    {"Huawei E160G", "+COPS: (2,\"T-Mobile\",\"TMO\",\"31026\",0),(1,\"AT&T\",\"AT&T\",\"310410\",0),,(0,1,2,3,4),(0,1,2)",
     {{2, "T-Mobile", 31026}, {1, "AT&T", 310410}}},
    {"Nokia N80", "+COPS: (2,\"T - Mobile\",,\"31026\"),(1,\"Einstein PCS\",,\"31064\"),(1,\"Cingular\",,\"31041\"),,(0,1,3),(0,2)",
     {{2, "T - Mobile", 31026}, {1, "Einstein PCS", 31064}, {1, "Cingular", 31041}}},
    {"Sony Ericsson TM-506 (entries closed early)",
     "+COPS: (2,\"\",\"T-Mobile\",\"31026\",0),(2,\"T - Mobile\",\"T - Mobile\",\"310260\"),2),(1,\"AT&T\",\"AT&T\",\"310410\"),0)",
     {{2, "T-Mobile", 31026}, {2, "T - Mobile", 310260}, {1, "AT&T", 310410}}},
    {"Novatel XU870 (one operator per line)",
     "+COPS: (0,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",2)\r\n+COPS: (1,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",0)\r\n"
     "+COPS: (1,\"T-Mobile\",\"TMO\",\"31026\",0)\r\n",
     {{0, "AT&T MicroCell", 310410}, {1, "AT&T MicroCell", 310410}, {1, "T-Mobile", 31026}}},
    {"Huawei E226 (no names)", "+COPS: (1,\"\",\"\",\"31026\",0),(1,\"\",\"\",\"310410\",2),(1,\"\",\"\",\"310410\",0),,(0,1,3,4),(0,1,2)",
     {{1, "", 31026}, {1, "", 310410}, {1, "", 310410}}},
    {"GSM modem without network (supported lists only)", "+COPS: (0,1,2,3),(1,2,3,4)", {}},
    {"worked example: unquoted numeric code", "+COPS: (2,\"Op A\",\"OpA\",23001),,(0-4),(0,2)", {{2, "Op A", 23001}}},
};

void ExpectOperators(const std::vector<OperatorEntry>& got, const CopsCase& c) {
  ASSERT_EQ(got.size(), c.operators.size()) << c.device;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].State, c.operators[i].state) << c.device << " #" << i;
    EXPECT_EQ(got[i].Name, c.operators[i].name) << c.device << " #" << i;
    EXPECT_EQ(got[i].CodeNumber, c.operators[i].code) << c.device << " #" << i;
    EXPECT_EQ(got[i].Mode, -1) << c.device << " #" << i;
  }
}

}  // namespace

TEST(RealPhoneReplies, OperatorListsWithOrWithoutTheSupportedLists) {
  for (const auto& c : kCopsCases) ExpectOperators(fonexa::ParseCopsTestOperators(c.reply), c);
}

TEST(RealPhoneReplies, OperatorListsReadALineAtATime) {
  // The dialogue reads lines as they come: the same answers, broken where a
  // phone breaks them (after an entry, and in the middle of one).
  const CopsCase& xu870 = kCopsCases[10];
  fonexa::CopsTestListReader reader;
  reader.Take("+COPS: (0,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",2)\r\n");
  reader.Take("+COPS: (1,\"AT&T MicroCell\",\"AT&T MicroCell\",\"310410\",0)\r\n");
  reader.Take("+COPS: (1,\"T-Mobile\",\"TMO\",\"31026\",0)\r\n");
  ExpectOperators(reader.Operators(), xu870);

  const CopsCase& e160g = kCopsCases[7];
  fonexa::CopsTestListReader broken;
  broken.Take("+COPS: (2,\"T-Mobile\",\"TMO\",\"31026\",0),(1,\"AT&T\",");
  broken.Take("\"AT&T\",\"310410\",0),,(0,1,2,3,4),(0,1,2)\r\n");
  ExpectOperators(broken.Operators(), e160g);
}

namespace {

struct CregCase {
  const char* device;
  const char* reply;
  int n;
  int stat;
};

const CregCase kCregCases[] = {
    {"Sierra Mercury", "+CREG: 0,1,84CD,00D30173\r\n", 0, 1},
    {"Sony Ericsson K850i", "+CREG: 2,1,\"CE00\",\"01CEAD8F\"\r\n", 2, 1},
    {"Huawei E160G, not registered", "+CREG: 2,0,00,0\r\n", 2, 0},
    {"Huawei E160G", "+CREG: 2,1,8BE3,2BAF\r\n", 2, 1},
    {"Sony Ericsson TM-506", "+CREG: 2,1,\"8BE3\",\"00002BAF\"\r\n", 2, 1},
    {"Iridium (no blank, leading zeros)", "+CREG:002,001,\"18d8\",\"ffff\"\r\n", 2, 1},
    {"modem writing no blank after the colon", "+CREG:2,1,0001,0010\r\n", 2, 1},
};

}  // namespace

TEST(RealPhoneReplies, RegistrationStatusWithLocationAndWithoutTheBlank) {
  for (const auto& c : kCregCases) {
    int n = 7, stat = 7;
    fonexa::ParseCregReadResponse(c.reply, n, stat);
    EXPECT_EQ(n, c.n) << c.device;
    EXPECT_EQ(stat, c.stat) << c.device;
  }
  // The unsolicited form carries the status alone (Sierra Mercury with n=1).
  std::string status;
  EXPECT_TRUE(fonexa::ParseCregCode("+CREG: 3\r\n", status));
  EXPECT_EQ(status, "3");
  EXPECT_FALSE(fonexa::ParseCregCode("+CREG: 1,84CD,00D30156\r\n", status));
}

TEST(RealPhoneReplies, SignalQualityWithoutTheBlank) {
  struct {
    const char* device;
    const char* reply;
    int rssi, ber;
  } const cases[] = {
      {"modem writing no blank after the colon", "+CSQ:4,0\r\n", 4, 0},
      {"worked example", "+CSQ: 17,99\r\n", 17, 99},
  };
  for (const auto& c : cases) {
    int rssi = -1, ber = -1;
    ASSERT_EQ(fonexa::ParseCsqResponse(c.reply, rssi, ber), 0) << c.device;
    EXPECT_EQ(rssi, c.rssi) << c.device;
    EXPECT_EQ(ber, c.ber) << c.device;
  }
}

TEST(RealPhoneReplies, PhoneBookEntryWithoutANumberStaysInTheList) {
  // The Nokia form of the faults report: no number, no type, empty trailing fields.
  fonexa::PhoneBookEntry entry;
  std::string timeText = "untouched";
  ASSERT_EQ(fonexa::ParseCpbrEntryResponse("+CPBR: 16,\"\",,\"Mailbox\",,,,,,,\r\n", entry, timeText), 0);
  EXPECT_EQ(entry.Position, 16);
  EXPECT_EQ(entry.PhoneNumber, "");
  EXPECT_EQ(entry.Type, -1);
  EXPECT_EQ(entry.Name, "Mailbox");
  EXPECT_EQ(timeText, "");
}

TEST(RealPhoneReplies, CallListStampInTwoQuotedFields) {
  fonexa::PhoneBookEntry entry;
  std::string timeText;
  ASSERT_EQ(fonexa::ParseCpbrEntryResponse("+CPBR: 1,\"0777123456\",129,\"\",\"08/07/04\",\"17:24:55\"\r\n", entry,
                                           timeText),
            0);
  EXPECT_EQ(timeText, "08/07/04,17:24:55");
  EXPECT_EQ((std::vector<int>{entry.Time.year, entry.Time.month, entry.Time.day, entry.Time.hour, entry.Time.minute}),
            (std::vector<int>{8, 7, 4, 17, 24}));
}

namespace {

// gammu tests/at-sms/06.dump: a message read with "AT+CMGR=106".
const std::string kGammu06Pdu =
    "07915892200613F4000781056317F000007070900145000077C6B71C947FD7E5A072785E06D1DF20B1FC7D9F9741E3B79B5E76D3416133BD2"
    "C07A1C36EF2BC4C078DD161F7B94C6681F2EF3AE89E66B341F2F2B89CB6974161D0BC2CB7A7C765D0BC4CA7A7DD67D0FCFD76BB40D3741BC"
    "ECE83E6617B19149E83C86573B8CEA6BB00";
// gammu tests/at-sms/02.dump: a stored outgoing message ("AT+CMGR=1").
const std::string kGammu02Pdu = "0791361907001003B17A0C913619397750320000AD11CD701E340FB3C3F23CC81D0689C3BF";

}  // namespace

TEST(RealPhoneReplies, StoredMessagesReadByGammu) {
  fonexa::SmsHeader header;
  ASSERT_EQ(fonexa::ParseCmgrResponse("+CMGR: 1,,122\r\n", header), 0);
  EXPECT_EQ(header.stat, 1);
  EXPECT_EQ(header.length, 122);
  fonexa::SmsEntry received;
  ASSERT_TRUE(fonexa::DecodeMessageLine(kGammu06Pdu + "\r\n", header.length, received));
  EXPECT_EQ(received.PhoneNumber, "5036710");
  EXPECT_EQ(received.ProviderPhone, "+85290260314");
  EXPECT_EQ(received.MessageText.size(), 119u);  // TP-UDL septets

  ASSERT_EQ(fonexa::ParseCmgrResponse("+CMGR: 3,,29\r\n", header), 0);
  EXPECT_EQ(header.stat, 3);
  fonexa::SmsEntry stored;
  ASSERT_TRUE(fonexa::DecodeMessageLine(kGammu02Pdu, header.length, stored));
  EXPECT_EQ(stored.PhoneNumber, "+639193770523");
  EXPECT_EQ(stored.MessageText.size(), 17u);
}

TEST(RealPhoneReplies, ListedLengthLargerThanThePduDecodesWhatThePduHolds) {
  // Listed with a length beyond the 37 octets the phone sends (29 of them the
  // TPDU): the PDU is read by its own fields.
  fonexa::SmsEntry entry;
  ASSERT_TRUE(fonexa::DecodeMessageLine(kGammu02Pdu, 45, entry));
  EXPECT_EQ(entry.PhoneNumber, "+639193770523");
  EXPECT_EQ(entry.MessageText.size(), 17u);
  // A text that ends before the user data its TP-UDL announces was cut short
  // on the way, and one that ends inside the header is no message at all.
  fonexa::SmsEntry kept;
  EXPECT_FALSE(fonexa::DecodeMessageLine(kGammu06Pdu.substr(0, kGammu06Pdu.size() - 20), 122, kept));
  EXPECT_FALSE(fonexa::DecodeMessageLine(kGammu06Pdu.substr(0, 40), 122, kept));
  EXPECT_EQ(kept.PhoneNumber, "");
}

TEST(RealPhoneReplies, MessageListingHeaders) {
  struct {
    const char* source;
    const char* line;
    int index, stat, length;
  } const cases[] = {
      {"worked example, alpha empty", "+CMGL: 1,0,,23\r\n", 1, 0, 23},
      {"worked example, alpha quoted", "+CMGL: 2,1,\"\",25\r\n", 2, 1, 25},
      {"modem writing no blank after the colon", "+CMGL:3,1,,30\r\n", 3, 1, 30},
  };
  for (const auto& c : cases) {
    fonexa::SmsHeader header;
    ASSERT_EQ(fonexa::ParseCmglResponse(c.line, header), 0) << c.source;
    EXPECT_EQ(header.index, c.index) << c.source;
    EXPECT_EQ(header.stat, c.stat) << c.source;
    EXPECT_EQ(header.length, c.length) << c.source;
  }
}

TEST(RealPhoneReplies, StorageAndServiceCentre) {
  const auto storage = fonexa::ParseCpmsReadResponse("+CPMS: \"ME\",2,100,\"ME\",2,100,\"ME\",2,100\r\n");
  EXPECT_TRUE(storage.complete);
  EXPECT_EQ(storage.storage, 1);
  EXPECT_EQ(storage.used, 2);
  EXPECT_EQ(storage.total, 100);
  std::string number;
  int type = 0;
  ASSERT_EQ(fonexa::ParseCscaResponse("+CSCA:\"+31624000000\",145\r\n", number, type), 0);
  EXPECT_EQ(number, "\"+31624000000\"");
  EXPECT_EQ(type, 145);
}

TEST(RealPhoneReplies, UnsolicitedCodes) {
  fonexa::ClipCode clip;
  ASSERT_TRUE(fonexa::ParseClipCode("+CLIP: \"+420777123456\",145,\"\",,\"\",0\r\n", clip));
  EXPECT_EQ(clip.number, "+420777123456");
  EXPECT_EQ(clip.type, "145");
  EXPECT_FALSE(fonexa::ParseClipCode("+CLIP: (0,1)\r\n", clip));
  EXPECT_EQ(fonexa::ParseCringCode("+CRING: VOICE\r\n"), "VOICE");
  EXPECT_EQ(fonexa::ParseCringCode("+CRING:REL ASYNC\r\n"), "REL");
  const auto report = fonexa::ParseCdsiCode("+CDSI: \"SM\",3\r\n");
  EXPECT_EQ(report.storage, "SM");
  EXPECT_EQ(report.index, "3");
  const auto stored = fonexa::ParseCmtiCode("+CMTI:\"ME\",12\r\n");
  EXPECT_EQ(stored.storage, "ME");
  EXPECT_EQ(stored.index, "12");
  EXPECT_EQ(fonexa::ParseCalaCode("+CALA: Wake up, now\r\n"), "Wake up, now");
  EXPECT_EQ(fonexa::ParseCalaFirstWord("+CALA: \"Meeting\",1\r\n"), "Meeting");
  EXPECT_EQ(fonexa::ParseCmtFirstField("+CMT: ,38\r\n"), "38");
  EXPECT_EQ(fonexa::ParseCmtFirstField("+CMT: \"Bob\",22\r\n"), "Bob");
}
