// The PIN entry flow against the virtual phone's PIN and PUK state machine,
// with codes from a retrieval function that plays the user.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EventLog.h"
#include "fonexa/FonexaCore.h"
#include "sim/VirtualModem.h"

using fonexa::testing::EventLog;
using namespace std::chrono_literals;

namespace {

// The user: answers in order, and what each prompt showed.
struct Prompt {
  std::string caption;
  std::string message;
};
std::deque<std::string> g_answers;
std::vector<Prompt> g_prompts;
std::string g_answer;

const char* PlayUser(const char* caption, const char* message) {
  g_prompts.push_back({caption, message});
  if (g_answers.empty()) return nullptr;
  g_answer = g_answers.front();
  g_answers.pop_front();
  return g_answer.c_str();
}

const char* OtherUser(const char*, const char*) { return "0000"; }

class PinEntry : public ::testing::Test {
 protected:
  void Start(bool pinRequired, const std::string& plugin = "GenericPhone") {
    g_answers.clear();
    g_prompts.clear();
    fonexa::sim::ModemOptions options;
    options.pinRequired = pinRequired;
    options.registrationDelay = 0ms;
    modem_ = std::make_unique<fonexa::sim::VirtualModem>(options);
    ASSERT_TRUE(modem_->start());
    h_ = CreateGsmInstance();
    ASSERT_NE(h_, nullptr);
    RegisterEventHandler(h_, FONEXA_EVENT_REGISTRATION, &events_);
    ASSERT_EQ(Initialize(h_, (plugin + "@" + modem_->devicePath()).c_str()), 1);
    ASSERT_EQ(SetCodeRetrievalFunc(h_, PlayUser), 1);
  }
  void TearDown() override {
    if (h_) ReleaseGsm(h_);
  }
  void Answers(std::initializer_list<const char*> answers) { g_answers.assign(answers.begin(), answers.end()); }
  // The +CPIN commands that carried a code.
  std::vector<std::string> CodesSent() const {
    std::vector<std::string> codes;
    const std::string in = modem_->transcript().text(fonexa::sim::Direction::In);
    for (size_t at = in.find("AT+CPIN="); at != std::string::npos; at = in.find("AT+CPIN=", at + 1)) {
      codes.push_back(in.substr(at + 8, in.find('\r', at) - at - 8));
    }
    return codes;
  }
  size_t RegistrationTwos() const {
    size_t n = 0;
    for (const auto& e : events_.Of(FONEXA_EVENT_REGISTRATION)) n += e.value == 2 ? 1 : 0;
    return n;
  }

  std::unique_ptr<fonexa::sim::VirtualModem> modem_;
  MxGsmHandle h_ = nullptr;
  EventLog events_;
};

TEST_F(PinEntry, AReadySimAsksNothing) {
  Start(false);
  EXPECT_EQ(AutoVerify(h_), 1);
  EXPECT_TRUE(g_prompts.empty());
}

TEST_F(PinEntry, TheRightPinOnce) {
  Start(true);
  Answers({"1234"});
  EXPECT_EQ(AutoVerify(h_), 1);
  ASSERT_EQ(g_prompts.size(), 1u);
  EXPECT_EQ(g_prompts[0].caption, "Enter PIN code");
  EXPECT_EQ(g_prompts[0].message, "");  // the generic profile knows no counter
  EXPECT_EQ(RegistrationTwos(), 1u);
  EXPECT_EQ(CodesSent(), (std::vector<std::string>{"1234"}));
  EXPECT_TRUE(events_.WaitFor(FONEXA_EVENT_REGISTRATION, 1, 1s));
}

TEST_F(PinEntry, ACounterShowsTheAttemptsLeft) {
  Start(true, "CountingPhone");
  Answers({"1234"});
  EXPECT_EQ(AutoVerify(h_), 1);
  ASSERT_EQ(g_prompts.size(), 1u);
  EXPECT_EQ(g_prompts[0].message, "\n3 attempt(s) left for entering PIN code.");
}

TEST_F(PinEntry, AWrongPinThenTheRightOne) {
  Start(true, "CountingPhone");
  Answers({"0000", "1234"});
  EXPECT_EQ(AutoVerify(h_), 1);
  ASSERT_EQ(g_prompts.size(), 2u);
  EXPECT_EQ(g_prompts[1].message,
            "The PIN you entered was incorrect. Try again or press Cancel to continue with GSM blocked.\n\n"
            "3 attempt(s) left for entering PIN code.");
  EXPECT_EQ(CodesSent(), (std::vector<std::string>{"0000", "1234"}));
}

TEST_F(PinEntry, CancelLeavesTheSimLocked) {
  Start(true);
  Answers({});
  EXPECT_EQ(AutoVerify(h_), 0);
  EXPECT_EQ(g_prompts.size(), 1u);
  EXPECT_TRUE(CodesSent().empty());
  EXPECT_EQ(RegistrationTwos(), 0u);
}

// Three wrong PINs block the SIM; the flow then asks for the PUK and a new
// PIN twice, and explains every refusal at the next prompt.
TEST_F(PinEntry, ThePukAndANewPin) {
  Start(true);
  modem_->update([](fonexa::sim::ModemContext& ctx) {
    for (int i = 0; i < 3; ++i) ctx.sim.enterCode("0000", std::nullopt);
  });
  Answers({"1234567",                    // a PUK of 7 characters: nothing sent
           "12345678", "1111", "2222",   // mismatch
           "111", "111",                 // too short
           "2468", "2468"});             // accepted
  EXPECT_EQ(AutoVerify(h_), 1);
  ASSERT_EQ(g_prompts.size(), 8u);
  EXPECT_EQ(g_prompts[0].caption, "Enter PUK code");
  EXPECT_EQ(g_prompts[0].message, "Sim card blocked.");
  EXPECT_EQ(g_prompts[1].caption, "Enter PUK code");
  EXPECT_EQ(g_prompts[1].message, "PUK must have 8 characters.");
  EXPECT_EQ(g_prompts[2].caption, "Enter new PIN");
  EXPECT_EQ(g_prompts[2].message, "Enter new PIN for the SIM card.");
  EXPECT_EQ(g_prompts[3].caption, "Confirm new PIN");
  EXPECT_EQ(g_prompts[4].message,
            "Entered PINs do not match. Please, try again or press Cancel to continue with GSM blocked.");
  EXPECT_EQ(g_prompts[6].message,
            "PIN code must have 4 to 8 characters. Please, try again or press Cancel to continue with GSM blocked.");
  EXPECT_EQ(CodesSent(), (std::vector<std::string>{"12345678,2468"}));
}

TEST_F(PinEntry, AnEmptyConfirmationCancelsTheFlow) {
  Start(true);
  modem_->update([](fonexa::sim::ModemContext& ctx) {
    for (int i = 0; i < 3; ++i) ctx.sim.enterCode("0000", std::nullopt);
  });
  Answers({"12345678", "2468"});
  EXPECT_EQ(AutoVerify(h_), 0);
  EXPECT_EQ(g_prompts.back().caption, "Confirm new PIN");
  EXPECT_TRUE(CodesSent().empty());
}

TEST_F(PinEntry, ANullFunctionKeepsTheOneInstalled) {
  Start(true);
  EXPECT_EQ(SetCodeRetrievalFunc(h_, nullptr), 0);
  EXPECT_EQ(SetCodeRetrievalFunc(nullptr, OtherUser), 0);
  Answers({"1234"});
  EXPECT_EQ(AutoVerify(h_), 1);
  EXPECT_EQ(g_prompts.size(), 1u);  // still PlayUser
}

// Without a retrieval function, a display or a terminal the built-in prompt
// cancels at once. Run in a child that has left the test's terminal: this
// program again, started afresh (a fork that went on with the virtual modem's
// threads running would be unsound), running only the child's side below.
constexpr const char* kChildSpec = "FONEXA_TEST_PIN_CHILD_SPEC";

TEST(PinEntryWithoutUser, NoDisplayAndNoTerminalCancels) {
  fonexa::sim::ModemOptions options;
  options.pinRequired = true;
  options.registrationDelay = 0ms;
  fonexa::sim::VirtualModem modem(options);
  ASSERT_TRUE(modem.start());
  const std::string spec = "GenericPhone@" + modem.devicePath();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setsid();
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    setenv(kChildSpec, spec.c_str(), 1);
    execl("/proc/self/exe", "pin_entry_tests", "--gtest_filter=PinEntryWithoutUser.ChildSide", nullptr);
    _exit(3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 10) << "11: verified; 2: no instance; 3: the child could not start";
  EXPECT_EQ(modem.transcript().text(fonexa::sim::Direction::In).find("AT+CPIN="), std::string::npos);
}

// The child's side: 10 when AutoVerify cancels, 11 when it verifies (a plain
// test run's 0 cannot pass for either).
TEST(PinEntryWithoutUser, ChildSide) {
  const char* spec = getenv(kChildSpec);
  if (spec == nullptr) GTEST_SKIP() << "runs only as the child of NoDisplayAndNoTerminalCancels";
  MxGsmHandle h = CreateGsmInstance();
  int result = 2;
  if (h && Initialize(h, spec)) result = AutoVerify(h) == 0 ? 10 : 11;
  ReleaseGsm(h);
  _exit(result);
}

}  // namespace
