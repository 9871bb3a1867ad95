// The instance against the virtual modem's faults: silence, garbage, an
// over-long line, a flood of unsolicited codes, a hang-up in the middle of a
// listing, a reboot in the middle of an operation, and the device node
// vanishing and coming back behind the same path, as a USB modem does when it
// re-enumerates. No call waits past its time-outs, the instance works again
// once the modem is back, and a message that arrived during a fault is listed
// afterwards.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "fonexa/FonexaCore.h"
#include "platform/Tick.h"
#include "sim/VirtualModem.h"

using fonexa::platform::TickCount;
using fonexa::sim::Direction;
using fonexa::sim::ModemOptions;
using fonexa::sim::VirtualModem;
using fonexa::testing::TempDir;
using namespace std::chrono_literals;

namespace {

// A single answer line read gives up after its 3 s deadline, and a line that
// is still coming when it expires after at most twice that; an operation
// reads its blank line, its information line and its final result. A call
// that takes longer than this waited past its time-outs.
constexpr uint32_t kOperationBoundMs = 3 * 2 * 3000 + 1000;

class ModemFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    options_.linkPath = dir_.File("ttyUSB0");
    options_.stateFile = dir_.File("modem-state.json");
    options_.registrationDelay = 0ms;
    StartModem();
    h_ = CreateGsmInstance();
    ASSERT_EQ(Initialize(h_, Spec().c_str()), 1);
  }
  void TearDown() override {
    if (h_) ReleaseGsm(h_);
  }

  std::string Spec() const { return "GenericPhone@" + options_.linkPath; }

  // A modem on a fresh pty behind the same link, with the messages and
  // settings the last one left in its state file.
  void StartModem() {
    modem_ = std::make_unique<VirtualModem>(options_);
    std::string error;
    ASSERT_TRUE(modem_->start(&error)) << error;
  }

  // GetSignalQuality, timed; the milliseconds it took go to spent.
  int SignalQuality(uint32_t& spent) {
    int rssi = -1, ber = -1;
    const uint32_t start = TickCount();
    const int result = GetSignalQuality(h_, &rssi, &ber);
    spent = TickCount() - start;
    return result;
  }

  // The instance answers again within a few operations: what a fault left on
  // the line is read and passed over, and no call waits past its bound.
  void ExpectWorkingAgain() {
    int result = 0;
    for (int attempt = 0; attempt < 4 && result != 1; ++attempt) {
      uint32_t spent = 0;
      result = SignalQuality(spent);
      EXPECT_LT(spent, kOperationBoundMs);
    }
    EXPECT_EQ(result, 1) << "the instance did not answer again";
  }

  // The texts of every message in storage.
  std::vector<std::string> ListedTexts() {
    std::vector<std::string> texts;
    if (LoadSmsEntries(h_, 4) <= 0) return texts;
    MxSmsRecord record{};
    while (GetNextSmsEntry(&record)) texts.push_back(record.messageText);
    return texts;
  }

  // Messages from the network, stored by the phone and announced with +CMTI
  // rather than handed over as +CMT, so that a listing has them to read.
  void StoreIncoming(const std::string& prefix, int count) {
    int routing = 0;
    modem_->update([&](fonexa::sim::ModemContext& ctx) {
      routing = ctx.settings.cnmi.mt;
      ctx.settings.cnmi.mt = 1;
    });
    for (int i = 0; i < count; ++i) modem_->injectSms("+420777000" + std::to_string(100 + i), prefix + std::to_string(i));
    modem_->update([&](fonexa::sim::ModemContext& ctx) { ctx.settings.cnmi.mt = routing; });
  }

  // A message from the network while nobody is on the line. A phone whose
  // terminal stopped acknowledging handed-over messages turns that routing
  // off (GSM 07.05: <mt> goes to 0) and keeps what arrives in memory; the
  // test puts the phone in that state at once rather than waiting for the
  // missed acknowledgement. Waits until the phone has stored it.
  bool ArrivesDuringFault(const std::string& text) {
    modem_->update([](fonexa::sim::ModemContext& ctx) { ctx.settings.cnmi.mt = 0; });
    modem_->injectSms("+420777999999", text);
    for (int waited = 0; waited < 5000; waited += 50) {
      if (StoredCount() > stored_) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  int StoredCount() {
    int used = 0;
    modem_->update([&](fonexa::sim::ModemContext& ctx) { used = ctx.messages.used("SM"); });
    return used;
  }

  static bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts) {
      if (t == text) return true;
    }
    return false;
  }

  TempDir dir_;
  ModemOptions options_;
  std::unique_ptr<VirtualModem> modem_;
  MxGsmHandle h_ = nullptr;
  int stored_ = 0;
};

TEST_F(ModemFaults, SilenceFailsWithinTheTimeOutsAndTheModemIsHeardAgainAfter) {
  modem_->setSilent(true);
  uint32_t spent = 0;
  EXPECT_EQ(SignalQuality(spent), 0);
  EXPECT_LT(spent, kOperationBoundMs);
  EXPECT_GE(spent, 2500u) << "gave up before its time-out";
  modem_->setSilent(false);
  ExpectWorkingAgain();
}

TEST_F(ModemFaults, GarbageOnTheLineIsPassedOver) {
  modem_->sendGarbage(20000);
  ExpectWorkingAgain();
  modem_->sendGarbage(3000);
  ExpectWorkingAgain();
}

TEST_F(ModemFaults, OverLongLineIsPassedOver) {
  modem_->sendOverlongLine(300 * 1024);
  ExpectWorkingAgain();
}

TEST_F(ModemFaults, FloodOfUnsolicitedCodesNeverHoldsACallPastItsBound) {
  std::atomic<bool> flooding{true};
  std::thread flood([&] {
    for (int i = 0; flooding; ++i) {
      modem_->sendUnsolicited(i % 2 ? "+CREG: 1" : "+CIEV: 2," + std::to_string(i % 5));
      std::this_thread::sleep_for(2ms);
    }
  });
  for (int i = 0; i < 3; ++i) {
    uint32_t spent = 0;
    SignalQuality(spent);  // may fail: the phone talks of nothing but codes
    EXPECT_LT(spent, kOperationBoundMs);
  }
  flooding = false;
  flood.join();
  ExpectWorkingAgain();
}

TEST_F(ModemFaults, HangUpInTheMiddleOfAListingEndsItAndNoMessageIsLost) {
  StoreIncoming("before ", 12);  // the SIM holds 20
  stored_ = StoredCount();
  ASSERT_EQ(stored_, 12);
  modem_->setLineSpeed(500);  // the listing takes seconds to come
  const size_t mark = modem_->transcript().size(Direction::In);
  std::thread phone([&] {
    if (modem_->transcript().waitFor(Direction::In, "AT+CMGL=", 10s, mark)) {
      std::this_thread::sleep_for(700ms);
      modem_->hangUp();  // the device node goes with the line
    }
  });
  const uint32_t start = TickCount();
  const std::vector<std::string> during = ListedTexts();
  const uint32_t spent = TickCount() - start;
  phone.join();
  EXPECT_LT(spent, kOperationBoundMs);
  EXPECT_LT(during.size(), 12u) << "the hang-up came after the listing";
  ASSERT_TRUE(ArrivesDuringFault("arrived during the fault"));

  // The modem is back on a new pty behind the same path.
  modem_->stop();
  StartModem();
  ASSERT_EQ(Initialize(h_, Spec().c_str()), 1);
  const std::vector<std::string> after = ListedTexts();
  EXPECT_EQ(after.size(), 13u);
  EXPECT_TRUE(Contains(after, "arrived during the fault"));
  EXPECT_TRUE(Contains(after, "before 0"));
  EXPECT_TRUE(Contains(after, "before 11"));
}

TEST_F(ModemFaults, RebootInTheMiddleOfAnOperationThenANewInitialize) {
  StoreIncoming("stored ", 10);
  modem_->setLineSpeed(1000);
  const size_t mark = modem_->transcript().size(Direction::In);
  std::thread phone([&] {
    if (modem_->transcript().waitFor(Direction::In, "AT+CMGL=", 10s, mark)) {
      std::this_thread::sleep_for(500ms);
      modem_->reboot();
    }
  });
  const uint32_t start = TickCount();
  ListedTexts();
  const uint32_t spent = TickCount() - start;
  phone.join();
  EXPECT_LT(spent, kOperationBoundMs);
  modem_->setLineSpeed(0);
  // The rebooted phone echoes again and has forgotten its settings: a new
  // Initialize brings it up, and what it stored survived the reboot.
  ASSERT_EQ(Initialize(h_, Spec().c_str()), 1);
  EXPECT_EQ(ListedTexts().size(), 10u);
  ExpectWorkingAgain();
}

TEST_F(ModemFaults, DeviceNodeVanishesAndComesBackThroughSwitchOn) {
  modem_->stop();  // the link is removed with the pty
  uint32_t spent = 0;
  EXPECT_EQ(SignalQuality(spent), 0);
  EXPECT_LT(spent, kOperationBoundMs);
  StartModem();
  modem_->injectSms("+420777123456", "while re-enumerating");
  // A module whose device went away is switched off and on again.
  EXPECT_EQ(SwitchOff(h_), 1);
  ASSERT_EQ(SwitchOn(h_), 1);
  ExpectWorkingAgain();
  EXPECT_TRUE(Contains(ListedTexts(), "while re-enumerating"));
}

TEST_F(ModemFaults, LinkRemovedAndRecreatedOverTheSamePty) {
  const std::string device = modem_->devicePath();
  ASSERT_EQ(::unlink(options_.linkPath.c_str()), 0);
  // An open port keeps its device: the node vanishing alone breaks nothing.
  ExpectWorkingAgain();
  ASSERT_EQ(::symlink(device.c_str(), options_.linkPath.c_str()), 0);
  ASSERT_EQ(Initialize(h_, Spec().c_str()), 1);
  ExpectWorkingAgain();
}

}  // namespace
