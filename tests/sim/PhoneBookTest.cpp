// Phone books through the AT interface: storages with used and total,
// writing at a location, at the first free one and deleting, names with
// commas and quotes, limits and their errors, character sets.
#include "ModemFixture.h"

namespace fonexa::sim::test {
namespace {

class PhoneBooks : public ModemTest {
 protected:
  void SetUp() override {
    start();
    ASSERT_EQ(at("AT+CMEE=1"), "\r\nOK\r\n");
  }
};

TEST_F(PhoneBooks, StoragesReportTheirUseAndSize) {
  EXPECT_EQ(at("AT+CPBS?"), "\r\n+CPBS: \"SM\",0,250\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"ON\";+CPBS?"), "\r\n+CPBS: \"ON\",1,4\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1"), "\r\n+CPBR: 1,\"+491701234567\",145,\"Own number\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"ME\";+CPBR=?"), "\r\n+CPBR: (1-500),40,18\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"XX\""), "\r\n+CME ERROR: 4\r\n");
  EXPECT_EQ(at("AT+CPBS?"), "\r\n+CPBS: \"ME\",0,500\r\n\r\nOK\r\n");
}

TEST_F(PhoneBooks, WritesAtALocationAtTheFirstFreeOneAndDeletes) {
  EXPECT_EQ(at("AT+CPBW=2,\"0301234\",129,\"Bob\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=,\"+4930999\",145,\"Alice\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=,\"4930888\",145,\"Carol\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1,5"),
            "\r\n+CPBR: 1,\"+4930999\",145,\"Alice\"\r\n+CPBR: 2,\"0301234\",129,\"Bob\"\r\n"
            "+CPBR: 3,\"+4930888\",145,\"Carol\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS?"), "\r\n+CPBS: \"SM\",3,250\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=2"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=,\"5\",129,\"Dan\";+CPBR=2"), "\r\n+CPBR: 2,\"5\",129,\"Dan\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBF=\"ca\""), "\r\n+CPBF: 3,\"+4930888\",145,\"Carol\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBF=\"zz\""), "\r\n+CME ERROR: 22\r\n");
}

TEST_F(PhoneBooks, NamesKeepTheirCommasAndQuotes) {
  EXPECT_EQ(at("AT+CPBW=1,\"1\",129,\"Smith, John\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=2,\"2\",129,\"Bob \"The Builder\"\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=3,\"3\",129,\"say \\22hi\\22, ok\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1,3"),
            "\r\n+CPBR: 1,\"1\",129,\"Smith, John\"\r\n+CPBR: 2,\"2\",129,\"Bob \"The Builder\"\"\r\n"
            "+CPBR: 3,\"3\",129,\"say \"hi\", ok\"\r\n\r\nOK\r\n");
}

TEST_F(PhoneBooks, LimitsGiveTheirOwnErrors) {
  EXPECT_EQ(at("AT+CPBR=0"), "\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(at("AT+CPBR=5,2"), "\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(at("AT+CPBW=251,\"1\",129,\"x\""), "\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"" + std::string(41, '1') + "\",129,\"x\""), "\r\n+CME ERROR: 26\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"12a4\",129,\"x\""), "\r\n+CME ERROR: 27\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"1\",129,\"" + std::string(19, 'n') + "\""), "\r\n+CME ERROR: 24\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"1\",129,\"" + std::string(18, 'n') + "\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBS=\"ON\""), "\r\nOK\r\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(at("AT+CPBW=,\"1\",129,\"n\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=,\"1\",129,\"n\""), "\r\n+CME ERROR: 20\r\n");
  EXPECT_EQ(at("AT+CPBS=\"LD\";+CPBW=1,\"1\",129,\"n\""), "\r\n+CME ERROR: 3\r\n");
}

TEST_F(PhoneBooks, NamesTravelInTheSelectedCharacterSet) {
  EXPECT_EQ(at("AT+CSCS=\"UCS2\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=1,\"1\",129,\"004A00FC0072006700650020263A\""), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBR=1"), "\r\n+CPBR: 1,\"1\",129,\"004A00FC0072006700650020263A\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CPBW=2,\"1\",129,\"004\""), "\r\n+CME ERROR: 25\r\n");
  EXPECT_EQ(at("AT+CSCS=\"8859-1\";+CPBR=1"), "\r\n+CPBR: 1,\"1\",129,\"J\xFCrge ?\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCS=\"IRA\";+CPBR=1"), "\r\n+CPBR: 1,\"1\",129,\"J?rge ?\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCS=\"GSM\";+CPBR=1"), "\r\n+CPBR: 1,\"1\",129,\"J~rge ?\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSCS=\"HEX\""), "\r\n+CME ERROR: 4\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
