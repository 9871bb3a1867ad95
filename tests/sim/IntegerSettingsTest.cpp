// The integer settings answer from one table: whatever "=?" lists, the set
// form takes and the read form shows; the value past the end is refused and
// leaves the setting as it was.
#include <cstdlib>
#include <string>
#include <vector>

#include "ModemFixture.h"
#include "sim/commands/IntegerSettings.h"

namespace fonexa::sim::test {
namespace {

class IntegerSettings : public ModemTest {};

// "+CMEE: (0-2)" -> 0 1 2, "+CSMS: (0,1)" -> 0 1, read off the wire the way
// a terminal would.
std::vector<int> valuesListed(const std::string& testLine) {
  std::vector<int> values;
  const size_t open = testLine.find('(');
  const size_t close = testLine.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return values;
  const std::string list = testLine.substr(open + 1, close - open - 1);
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    const size_t dash = item.find('-');
    const int lo = std::atoi(item.substr(0, dash).c_str());
    const int hi = dash == std::string::npos ? lo : std::atoi(item.substr(dash + 1).c_str());
    for (int v = lo; v <= hi; ++v) values.push_back(v);
    start = end + 1;
  }
  return values;
}

TEST_F(IntegerSettings, TakeEveryValueTheirTestFormListsAndReadItBack) {
  start();
  for (const IntegerSetting& row : integerSettings()) {
    const std::string name(row.name);
    const auto test = infoLines(at("AT" + name + "=?"));
    ASSERT_EQ(test.size(), 1u) << name;
    const auto values = valuesListed(test[0]);
    ASSERT_FALSE(values.empty()) << name << ": " << test[0];
    if (!row.field) continue;  // an action, not a setting: nothing to read back
    for (int v : values) {
      const std::string set = "AT" + name + "=" + std::to_string(v);
      EXPECT_EQ(finalResultOf(at(set)), "OK") << set;
      const auto read = infoLines(at("AT" + name + "?"));
      ASSERT_EQ(read.size(), 1u) << name;
      EXPECT_EQ(read[0].rfind(name + ": " + std::to_string(v), 0), 0u) << set << " read back as " << read[0];
    }
  }
}

TEST_F(IntegerSettings, RefuseTheValuePastTheirRangeAndKeepTheOldOne) {
  start();
  for (const IntegerSetting& row : integerSettings()) {
    const std::string name(row.name);
    const auto values = valuesListed(infoLines(at("AT" + name + "=?")).at(0));
    ASSERT_FALSE(values.empty()) << name;
    const std::string beyond = "AT" + name + "=" + std::to_string(values.back() + 1);
    EXPECT_NE(finalResultOf(at(beyond)), "OK") << beyond;
    if (!row.field) continue;
    const auto read = infoLines(at("AT" + name + "?"));
    ASSERT_EQ(read.size(), 1u) << name;
    EXPECT_EQ(read[0].rfind(name + ": 0", 0), 0u) << beyond << " changed it: " << read[0];
  }
}

TEST_F(IntegerSettings, RefuseValuesThatAreNotSmallNumbers) {
  start();
  // 2^32 + 1: would be 1 if it were cut down to an int.
  EXPECT_EQ(at("AT+CMEE=4294967297"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CMGF=x"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CSMS=-1"), "\r\n+CMS ERROR: 303\r\n");
  EXPECT_EQ(at("AT+CMEE?"), "\r\n+CMEE: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMGF?"), "\r\n+CMGF: 0\r\n\r\nOK\r\n");
}

// V.250 lets a bare extended command stand for its set form with the
// parameter left out; the presentation settings and +CSMS take no bare form.
TEST_F(IntegerSettings, BareFormResetsOnlyWhereItStandsForTheSetForm) {
  start();
  EXPECT_EQ(at("AT+CMEE=2;+CMGF=1;+CSDH=1;+CREG=1"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMEE;+CMGF;+CSDH;+CREG"), "\r\nOK\r\n");
  EXPECT_EQ(at("AT+CMEE?;+CMGF?;+CSDH?"), "\r\n+CMEE: 0\r\n\r\n+CMGF: 0\r\n\r\n+CSDH: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG?"), "\r\n+CREG: 0,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CLIP"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CSMS"), "\r\nERROR\r\n");
  EXPECT_EQ(at("AT+CNMA"), "\r\n+CMS ERROR: 340\r\n") << "bare +CNMA acknowledges, and nothing waits for it";
}

TEST_F(IntegerSettings, ReadFormsCarryTheNetworkSideAfterTheSetting) {
  start();
  EXPECT_EQ(at("AT+CLIP?;+CLIR?;+COLP?;+CRC?"),
            "\r\n+CLIP: 0,1\r\n\r\n+CLIR: 0,4\r\n\r\n+COLP: 0,1\r\n\r\n+CRC: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSMS=1"), "\r\n+CSMS: 1,1,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CSMS?"), "\r\n+CSMS: 1,1,1,1\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CREG=2;+CREG?"), "\r\n+CREG: 2,1,\"00C3\",\"1A2B\"\r\n\r\nOK\r\n");
  EXPECT_EQ(at("AT+CNMA?"), "\r\nERROR\r\n");
}

}  // namespace
}  // namespace fonexa::sim::test
