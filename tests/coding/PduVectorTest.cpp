// Decoding PDUs from outside: captures of real phones, textbook examples and
// PDUs that python3-gammu built. Each is checked field by field.
#include <gtest/gtest.h>

#include "PduVectors.h"
#include "platform/LocalTime.h"
#include "codec/CMxGsmCoding.h"

namespace fonexa {
namespace {

using test::PduVector;

class PduVectorTest : public ::testing::TestWithParam<PduVector> {};

TEST_P(PduVectorTest, DecodesEveryField) {
  const PduVector& v = GetParam();
  SmsEntry entry;
  ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(v.pdu, static_cast<int>(v.pdu.size() / 2 - 1), entry), 1);
  EXPECT_EQ(entry.ProviderPhone, v.providerPhone);
  EXPECT_EQ(entry.PhoneNumber, v.phoneNumber);
  EXPECT_EQ(entry.MessageText, v.text);
  if (v.hasTimeStamp) {
    ASSERT_NE(entry.Time, 0);
    const platform::SystemTime t = platform::LocalTimeOf(entry.Time);
    EXPECT_EQ(t.year, v.year);
    EXPECT_EQ(t.month, v.month);
    EXPECT_EQ(t.day, v.day);
    EXPECT_EQ(t.hour, v.hour);
    EXPECT_EQ(t.minute, v.minute);
    EXPECT_EQ(t.second, v.second);
  } else {
    EXPECT_EQ(entry.Time, 0) << "an SMS-SUBMIT carries no time stamp";
  }
}

std::string VectorName(const ::testing::TestParamInfo<PduVector>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(RealPhones, PduVectorTest, ::testing::ValuesIn(test::LoadPduVectors("real_phones.tsv")),
                         VectorName);
INSTANTIATE_TEST_SUITE_P(Textbook, PduVectorTest, ::testing::ValuesIn(test::LoadPduVectors("textbook_examples.tsv")),
                         VectorName);
INSTANTIATE_TEST_SUITE_P(Gammu, PduVectorTest, ::testing::ValuesIn(test::LoadPduVectors("gammu_generated.tsv")),
                         VectorName);

// The parts of one concatenated text, decoded one by one, give the text back
// in order: nothing of the header leaks into the text and nothing is lost.
TEST(PduVectorPartsTest, PartsOfOneTextJoinUpWithoutGapsOrHeaderBytes) {
  const auto vectors = test::LoadPduVectors("gammu_generated.tsv");
  std::string joined;
  int parts = 0;
  for (const auto& v : vectors) {
    if (v.name.rfind("deliver_7bit_concat8_part", 0) != 0) continue;
    SmsEntry entry;
    CMxGsmCoding::ConvertFromPdu(v.pdu, 1, entry);
    joined += entry.MessageText;
    ++parts;
  }
  ASSERT_EQ(parts, 3);
  std::string expected;
  for (int i = 0; i < 3; ++i) {
    expected += "Concatenated 7-bit text with [brackets], {braces} and a ~tilde~ in it, "
                "repeated until it needs a second part. ";
  }
  EXPECT_EQ(joined, expected);
}

}  // namespace
}  // namespace fonexa
