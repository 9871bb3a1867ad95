// A phone that sends noise without line ends in the middle of a listing: the
// line read runs out its time-out with the phone still sending, the listing
// ends there with the message that came, and what the noise costs in memory
// stays within what one line time-out can bring.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedPhone.h"
#include "services/CMxGsmSms.h"

namespace {

// "How are you?" from +31641600986 (TPDU 30 octets).
const std::string kHowAreYou = "07911326040000F0040B911346610089F60000208062917314480CC8F71D14969741F977FD07";

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string word; status >> word;) {
    if (word == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return 0;
}

}  // namespace

TEST(SmsListingBounds, NoiseWithoutLineEndsEndsTheListingWithWhatCame) {
  fonexa::testing::ScriptedPhone phone;
  phone.modem.On("AT+CMGL=4", "\r\n+CMGL: 1,0,,30\r\n" + kHowAreYou + "\r\n");
  phone.modem.ClearCommands();
  std::atomic<bool> stop{false};
  std::thread noise([&] {
    if (!phone.modem.WaitForCommands(1, 5000)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // after the answer's start
    const std::string chunk(128, 'x');
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (!stop && std::chrono::steady_clock::now() < until) {
      phone.modem.Send(chunk);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const long before = ResidentKb();
  std::vector<fonexa::SmsEntry> list;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CMxGsmSms(&phone.session).ReadSmsEntries(4, list), 0);
  const auto took = std::chrono::steady_clock::now() - start;
  const long grown = ResidentKb() - before;
  stop = true;
  phone.session.FlushComBuffers();  // a writer blocked on a full line goes on
  noise.join();
  EXPECT_LT(took, std::chrono::seconds(15));  // one line time-out of 6 s, not the noise's 40
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].MessageText, "How are you?");
  EXPECT_LT(grown, 16 * 1024);
}
