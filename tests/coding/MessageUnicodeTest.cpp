// Status reports from real networks, texts in UTF-8 both ways, long messages
// joined from their parts, and delivery outcomes put together from reports.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codec/CMxGsmCoding.h"
#include "codec/DeliveryReports.h"
#include "codec/MessageJoining.h"
#include "codec/UnicodeText.h"
#include "platform/LocalTime.h"

namespace fonexa {
namespace {

// ---- Status reports from real networks ----------------------------------------

struct ReportVector {
  std::string name, pdu, provider, recipient;
  int reference = 0;
  std::string serviceCentreTime, dischargeTime;
  int status = 0;
  std::string summary;
};
void PrintTo(const ReportVector& v, std::ostream* out) { *out << v.name; }

std::vector<ReportVector> LoadReports() {
  std::ifstream file(std::string(CODING_DATA_DIR) + "/status_reports.tsv");
  std::vector<ReportVector> vectors;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() != 9) throw std::runtime_error("status_reports.tsv: " + line);
    vectors.push_back({f[0], f[1], f[2], f[3], std::stoi(f[4]), f[5], f[6], std::stoi(f[7]), f[8]});
  }
  return vectors;
}

std::string LocalText(int64_t time) {
  const platform::SystemTime t = platform::LocalTimeOf(time);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

class StatusReportVector : public ::testing::TestWithParam<ReportVector> {};

TEST_P(StatusReportVector, DecodesItsOwnFieldsAsGammuDoes) {
  const ReportVector& v = GetParam();
  SmsEntry entry;
  ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(v.pdu, static_cast<int>(v.pdu.size() / 2 - 1), entry), 1);
  EXPECT_EQ(entry.MessageKind, SmsEntry::StatusReport);
  EXPECT_EQ(entry.ProviderPhone, v.provider);
  EXPECT_EQ(entry.PhoneNumber, v.recipient) << "the recipient stands in the number field";
  EXPECT_EQ(entry.ReportReference, v.reference);
  EXPECT_EQ(entry.ReportStatus, v.status);
  EXPECT_EQ(LocalText(entry.Time), v.serviceCentreTime);
  EXPECT_EQ(LocalText(entry.DischargeTime), v.dischargeTime);
  EXPECT_EQ(entry.MessageText, v.summary);
  EXPECT_EQ(entry.TextUtf8, v.summary);
  EXPECT_EQ(entry.PartCount, 1);
}

INSTANTIATE_TEST_SUITE_P(RealNetworks, StatusReportVector, ::testing::ValuesIn(LoadReports()),
                         [](const auto& info) { return info.param.name; });

TEST(StatusReport, OutcomeFollowsTheStatusRanges) {
  EXPECT_EQ(OutcomeOfReportStatus(0x00), DeliveryOutcome::Delivered);
  EXPECT_EQ(OutcomeOfReportStatus(0x02), DeliveryOutcome::Delivered) << "replaced";
  EXPECT_EQ(OutcomeOfReportStatus(0x20), DeliveryOutcome::Pending) << "congestion, still trying";
  EXPECT_EQ(OutcomeOfReportStatus(0x3F), DeliveryOutcome::Pending);
  EXPECT_EQ(OutcomeOfReportStatus(0x41), DeliveryOutcome::Failed) << "incompatible destination";
  EXPECT_EQ(OutcomeOfReportStatus(0x62), DeliveryOutcome::Failed) << "temporary, no longer trying";
}

// ---- Alphanumeric senders in UTF-8 ----------------------------------------------

TEST(AlphanumericSender, RealCapturesReadAsTextInBothViews) {
  SmsEntry uk;
  ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(
                "0791447758100650040DD0F334FC1CA6970100008080312170224008D4F29CDE0EA7D9", 27, uk),
            1);
  EXPECT_EQ(uk.PhoneNumberUtf8, "sipgate");
  EXPECT_EQ(uk.TextUtf8, "Testmail");
  SmsEntry ru;  // gammu reads the sender "InternetSMS" and the text "тест"
  ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(
                "07919730071111F10414D04937BD2C7797E9D3E614000811309291024061080442043504410442", 30, ru),
            1);
  EXPECT_EQ(ru.PhoneNumberUtf8, "InternetSMS");
  EXPECT_EQ(ru.TextUtf8, "\xD1\x82\xD0\xB5\xD1\x81\xD1\x82");
  EXPECT_EQ(ru.MessageText, "????") << "the Latin-1 view is unchanged";
}

// ---- UTF-8 texts in parts -------------------------------------------------------------

// Decodes what the parts carry, each on its own as a receiver would.
std::string RoundTrip(const std::string& text, int& alphabet, size_t& parts) {
  const auto units = CMxGsmCoding::SplitUtf8Text(text, alphabet);
  parts = units.size();
  std::string received;
  for (size_t i = 0; i < units.size(); ++i) {
    std::string pdu;
    CMxGsmCoding::ConvertUnitsToPdu(pdu, "+3069", units[i], alphabet, static_cast<int>(i) + 1,
                                    static_cast<int>(units.size()), 0, false);
    SmsEntry entry;
    EXPECT_EQ(CMxGsmCoding::ConvertFromPdu(pdu, 1, entry), 1);
    EXPECT_LE(pdu.size() / 2, 14u + 140u);
    received += entry.TextUtf8;
  }
  return received;
}

TEST(Utf8Text, EveryScriptComesBackWhole) {
  const std::string texts[] = {
      "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1",  // Greek lower case: UCS2
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",  // Cyrillic
      "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C",  // CJK
      "\xF0\x9F\x98\x80\xF0\x9F\x91\x8D",                  // emoji beyond the BMP
  };
  for (const std::string& text : texts) {
    int alphabet = -1;
    size_t parts = 0;
    EXPECT_EQ(RoundTrip(text, alphabet, parts), text);
    EXPECT_EQ(alphabet, CMxGsmCoding::kAlphabet16Bit);
  }
}

TEST(Utf8Text, GreekCapitalsAndTheEuroStayInSevenBit) {
  const std::string text = "\xCE\x94\xCE\xA6\xCE\x93\xCE\x9B\xCE\xA9\xCE\xA0\xCE\xA8\xCE\xA3\xCE\x98\xCE\x9E "
                           "\xE2\x82\xAC[]{}~^|\\ \xC2\xA4 @\xC2\xA3";
  int alphabet = -1;
  size_t parts = 0;
  EXPECT_EQ(RoundTrip(text, alphabet, parts), text);
  EXPECT_EQ(alphabet, CMxGsmCoding::kAlphabet7Bit);
}

TEST(Utf8Text, AnEmojiAtAPartBoundaryMovesWholeToTheNextPart) {
  // 66 letters, then the surrogate pair on units 66 and 67: a part of 67
  // units would end between its halves.
  const std::string emoji = "\xF0\x9F\x98\x80";
  const std::string text = std::string(66, 'x') + "\xD0\x96" + emoji + std::string(10, 'y');
  int alphabet = -1;
  const auto units = CMxGsmCoding::SplitUtf8Text(text, alphabet);
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units[0].size(), 67u);
  EXPECT_EQ(units[1].front(), 0xD83D);
  size_t parts = 0;
  EXPECT_EQ(RoundTrip(text, alphabet, parts), text);
}

TEST(Utf8Text, AnEscapePairAtAPartBoundaryStaysTogether) {
  const std::string text = std::string(151, 'a') + "\xE2\x82\xAC" + std::string(20, 'b');
  int alphabet = -1;
  const auto units = CMxGsmCoding::SplitUtf8Text(text, alphabet);
  ASSERT_EQ(alphabet, CMxGsmCoding::kAlphabet7Bit);
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units[0].size(), 151u) << "the escape goes with its euro sign";
  size_t parts = 0;
  EXPECT_EQ(RoundTrip(text, alphabet, parts), text);
}

TEST(Utf8Text, BrokenUtf8BecomesReplacementCharactersNotQuestionMarks) {
  int alphabet = -1;
  size_t parts = 0;
  // Each byte of a cut sequence is one replacement character.
  EXPECT_EQ(RoundTrip("a\xC3(b\xF0\x9F", alphabet, parts), "a\xEF\xBF\xBD(b\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(unicode::DecodeUtf8("\xE0\x80\xAF").size(), 3u) << "an overlong form is three bad bytes";
}

TEST(Utf8Text, TheReportRequestSetsTpSrr) {
  int alphabet = -1;
  const auto units = CMxGsmCoding::SplitUtf8Text("hi", alphabet);
  std::string pdu;
  CMxGsmCoding::ConvertUnitsToPdu(pdu, "12345", units[0], alphabet, 1, 1, 0, true);
  EXPECT_EQ(pdu, "00310005812143F50000AA02E834");
}

// ---- Joining parts ------------------------------------------------------------------

SmsEntry Part(int index, int reference, int count, int number, const std::string& text,
              const std::string& from = "+4917012345") {
  SmsEntry e;
  e.Index = index;
  e.PhoneNumber = e.PhoneNumberUtf8 = from;
  e.PartReference = reference;
  e.PartCount = count;
  e.PartNumber = number;
  e.TextUtf8 = text;
  e.State = 1;
  return e;
}

TEST(Joining, PartsListedOutOfOrderBecomeOneMessage) {
  const std::vector<SmsEntry> listing = {Part(1, 7, 3, 3, "C"), Part(2, 0, 1, 1, "single"), Part(3, 7, 3, 1, "A"),
                                         Part(4, 7, 3, 2, "B"), Part(5, 7, 3, 2, "B again"),
                                         Part(6, 7, 3, 1, "other sender", "+4917099999")};
  const auto joined = JoinMessageParts(listing);
  ASSERT_EQ(joined.size(), 3u);
  EXPECT_EQ(joined[0].TextUtf8, "ABC");
  EXPECT_EQ(joined[0].PartIndices, (std::vector<int>{3, 4, 1}));
  EXPECT_EQ(joined[0].MissingParts, 0);
  EXPECT_EQ(joined[1].TextUtf8, "single");
  EXPECT_EQ(joined[1].PartReference, -1);
  EXPECT_EQ(joined[2].MissingParts, 2) << "another sender's reference 7 is another message";
}

TEST(Joining, AMissingPartIsSaidAndLeftOut) {
  const auto joined = JoinMessageParts({Part(9, 200, 3, 3, "end"), Part(8, 200, 3, 1, "start ")});
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0].TextUtf8, "start end");
  EXPECT_EQ(joined[0].MissingParts, 1);
  EXPECT_EQ(joined[0].PartIndices, (std::vector<int>{8, -1, 9}));
}

TEST(Joining, DeliveredPartsWaitForTheLastOneOrTheTimeLimit) {
  PartAssembler assembler;
  assembler.SetTimeLimit(1000);
  std::vector<JoinedMessage> givenUp;
  EXPECT_FALSE(assembler.Add(Part(-1, 5, 2, 2, " world"), 100, givenUp));
  const auto whole = assembler.Add(Part(-1, 5, 2, 1, "hello"), 200, givenUp);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->TextUtf8, "hello world");
  EXPECT_FALSE(assembler.Holding());

  EXPECT_FALSE(assembler.Add(Part(-1, 6, 3, 1, "one "), 5000, givenUp));
  EXPECT_FALSE(assembler.Add(Part(-1, 6, 3, 3, "three"), 5100, givenUp));
  EXPECT_TRUE(assembler.Expired(5999).empty());
  const auto late = assembler.Expired(6000);
  ASSERT_EQ(late.size(), 1u);
  EXPECT_EQ(late[0].TextUtf8, "one three");
  EXPECT_EQ(late[0].MissingParts, 1);
  EXPECT_TRUE(givenUp.empty());
}

TEST(Joining, EndlessFirstPartsDoNotFillTheMemory) {
  PartAssembler assembler;
  std::vector<JoinedMessage> givenUp;
  for (int reference = 0; reference < 100; ++reference) {
    assembler.Add(Part(-1, reference, 2, 1, "x"), static_cast<uint32_t>(reference), givenUp);
  }
  EXPECT_EQ(givenUp.size(), 100u - PartAssembler::kMaxHeld);
}

// ---- Delivery outcomes ----------------------------------------------------------------

TEST(DeliveryTracking, AllPartsCountAndAFailureIsFinal) {
  DeliveryTracker tracker;
  const int id = tracker.Register("+49 170 1234567", {10, 11});
  EXPECT_EQ(tracker.Outcome(id), DeliveryOutcome::Waiting);
  auto match = tracker.Report("+491701234567", 10, 0x00);
  ASSERT_TRUE(match);
  EXPECT_EQ(match->outcome, DeliveryOutcome::Waiting) << "part 2 has no report yet";
  EXPECT_EQ(tracker.Report("+491701234567", 11, 0x21)->outcome, DeliveryOutcome::Pending);
  EXPECT_EQ(tracker.Report("01701234567", 11, 0x00)->outcome, DeliveryOutcome::Delivered);
  EXPECT_FALSE(tracker.Report("+491701234567", 11, 0x00)->changed) << "read a second time";
  EXPECT_FALSE(tracker.Report("+491709999999", 10, 0x00)) << "another recipient's reference 10";

  const int second = tracker.Register("555", {12, 13});
  EXPECT_EQ(tracker.Report("555", 13, 0x45)->outcome, DeliveryOutcome::Failed);
  EXPECT_EQ(tracker.Report("555", 12, 0x00)->outcome, DeliveryOutcome::Failed);
  EXPECT_EQ(tracker.Report("555", 13, 0x00)->changed, false) << "a failure is not taken back";
  EXPECT_EQ(tracker.Outcome(second + 1), DeliveryOutcome::Unknown);
}

}  // namespace
}  // namespace fonexa
