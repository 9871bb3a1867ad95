// The trace lines the codec writes while the trace log is open.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "codec/CMxGsmCoding.h"
#include "text/DebugLog.h"

namespace fonexa {
namespace {

class CodingTraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/fonexa-trace-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    path_ = dir_ + "/trace.txt";
    ASSERT_EQ(TraceLog().Open(path_), 1);
  }
  void TearDown() override {
    TraceLog().Close();
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  std::string Trace() {
    TraceLog().Close();
    std::ifstream in(path_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string dir_;
  std::string path_;
};

TEST_F(CodingTraceTest, BuildingTracesEntryCodesAndThePduAsItGrows) {
  std::string pdu;
  CMxGsmCoding::ConvertToPdu(pdu, "12345", "a[", 0, 1, 1, 0);
  const std::string trace = Trace();
  EXPECT_NE(trace.find("\r\n-->CMxGsmCoding::ConvertToPdu[12345,a[,0,1/1,0]\r\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("CMxGsmCoding::ConvertToPdu>>PDU:001100\r\n"), std::string::npos);
  EXPECT_NE(trace.find("CMxGsmCoding::ConvertToPdu>>PDU:0011000581\r\n"), std::string::npos);
  EXPECT_NE(trace.find("Char array: 97,27,60,\r\n"), std::string::npos);
  EXPECT_NE(trace.find("CMxGsmCoding::ConvertToPdu>>PDU:" + pdu + "\r\n"), std::string::npos);
  size_t lines = 0;
  for (size_t at = trace.find(">>PDU:"); at != std::string::npos; at = trace.find(">>PDU:", at + 1)) ++lines;
  EXPECT_EQ(lines, 7u) << "after the fields 1, 3, 4, 7, 8, 9 and 10";
}

TEST_F(CodingTraceTest, AlphabetChoiceTracesTheDecidingCharacter) {
  CMxGsmCoding::SelectAlphabet("ok");
  CMxGsmCoding::SelectAlphabet("n\xE1");
  const std::string trace = Trace();
  EXPECT_NE(trace.find("CMxGsmCoding::SelectAlphabet>>7bit\r\n"), std::string::npos);
  EXPECT_NE(trace.find("CMxGsmCoding::SelectAlphabet>>16bit[\xE1]\r\n"), std::string::npos);
}

TEST_F(CodingTraceTest, DecodingTracesUserDataAndTheResult) {
  SmsEntry entry;
  CMxGsmCoding::ConvertFromPdu("07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07", 1,
                               entry);
  const std::string trace = Trace();
  EXPECT_NE(trace.find("CMxGsmCoding::GetTextFromPdu[C8F71D14969741F977FD07]\r\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\r\nCMxGsmCoding::ConvertFromPdu>>Encoded message:\r\n"
                       "CMxGsmCoding::ConvertFromPdu>>Message text: How are you?\r\n"
                       "CMxGsmCoding::ConvertFromPdu>>Phone number: +31641600986\r\n"
                       "CMxGsmCoding::ConvertFromPdu>>Provider phone: +31624000000\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace fonexa
