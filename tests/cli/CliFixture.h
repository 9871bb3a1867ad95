// One virtual modem per test, and fonexa run against it as a separate
// process with --device naming the modem's pseudo-terminal. The program sees
// a home folder of its own, no FONEXA_DEVICE, and a mutex namespace of its
// own, so that nothing of the machine it runs on leaks in.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FonexaProcess.h"
#include "TempDir.h"
#include "sim/VirtualModem.h"

namespace fonexa::clitest {

using Json = nlohmann::json;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modem_ = std::make_unique<sim::VirtualModem>(modemOptions());
    std::string error;
    ASSERT_TRUE(modem_->start(&error)) << error;
  }
  void TearDown() override { modem_->stop(); }

  virtual sim::ModemOptions modemOptions() const {
    sim::ModemOptions options;
    options.registrationDelay = std::chrono::milliseconds(0);
    return options;
  }

  sim::VirtualModem& modem() { return *modem_; }
  std::string spec() const { return "GenericPhone@" + modem_->devicePath(); }

  // The environment of a run: an empty home, nothing configured.
  ProcessOptions isolated(ProcessOptions options = {}) const {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    options.environment.emplace("HOME", home_.Path());
    options.environment.emplace("XDG_CONFIG_HOME", std::nullopt);
    options.environment.emplace("FONEXA_DEVICE", std::nullopt);
    options.environment.emplace("FONEXA_MUTEX_NAMESPACE",
                                std::string("cli-") + test->name() + "-" + std::to_string(getpid()));
    return options;
  }

  // fonexa --device <this test's modem> arguments...
  Finished fonexa(const std::vector<std::string>& arguments, ProcessOptions options = {}) {
    std::vector<std::string> all = {"--device", spec()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runFonexa(all, isolated(std::move(options)));
  }

  // The same with --json: the parsed output of a run that must succeed.
  Json json(const std::vector<std::string>& arguments, ProcessOptions options = {}) {
    std::vector<std::string> all = arguments;
    all.push_back("--json");
    const Finished run = fonexa(all, std::move(options));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    Json parsed = Json::parse(run.out, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << "not JSON: " << run.out;
    return parsed;
  }

  Json modemState() { return Json::parse(modem_->stateJson()); }

  testing::TempDir home_;

 private:
  std::unique_ptr<sim::VirtualModem> modem_;
};

}  // namespace fonexa::clitest
