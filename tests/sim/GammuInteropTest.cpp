// gammu, a client nobody here wrote, against the modem over its pty:
// identification, reading all messages, sending a short and a long text,
// reading phone-book locations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ClientProgram.h"
#include "sim/control/JsonValue.h"
#include "sim/VirtualModem.h"

namespace fonexa::sim::test {
namespace {

class Gammu : public ::testing::Test {
 protected:
  void SetUp() override {
    gammu_ = findProgram("gammu");
    ASSERT_FALSE(gammu_.empty()) << "gammu is not installed (Debian package gammu)";
    ModemOptions o;
    o.registrationDelay = std::chrono::milliseconds(0);
    modem_ = std::make_unique<VirtualModem>(o);
    std::string error;
    ASSERT_TRUE(modem_->start(&error)) << error;
    dir_ = std::filesystem::temp_directory_path() / ("fonexa-gammu-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    config_ = (dir_ / "gammurc").string();
    std::ofstream(config_) << "[gammu]\ndevice = " << modem_->devicePath() << "\nconnection = at\n";
  }
  void TearDown() override {
    if (HasFailure() && modem_) std::fprintf(stderr, "%s", modem_->transcript().render().c_str());
    modem_.reset();
    std::filesystem::remove_all(dir_);
  }
  ProgramResult gammu(std::vector<std::string> args) {
    args.insert(args.begin(), {gammu_, "-c", config_});
    return runProgram(args, {"HOME=" + dir_.string(), "LC_ALL=C.UTF-8"});
  }

  std::string gammu_;
  std::filesystem::path dir_;
  std::string config_;
  std::unique_ptr<VirtualModem> modem_;
};

TEST_F(Gammu, IdentifiesThePhone) {
  const auto r = gammu({"identify"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Manufacturer         : Fonexa"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("VM-900 virtual GSM phone"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("IMEI                 : 490154203237518"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("SIM IMSI             : 262019876543210"), std::string::npos) << r.output;
}

TEST_F(Gammu, ReadsEveryStoredMessage) {
  modem_->update([](ModemContext& ctx) { ctx.settings.cnmi.mt = 0; });
  modem_->injectSms("+4917012345", "Hello from the network");
  modem_->injectSms("+4917099999", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xD0\x9C\xD0\xB8\xD1\x80");
  modem_->injectSms("MyBank", std::string(150, 'a') + " and the rest of a long text");
  const auto r = gammu({"getallsms"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Hello from the network"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\"+4917012345\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xD0\x9C\xD0\xB8\xD1\x80"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\"MyBank\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("part 2 of 2"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("the rest of a long text"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("4 SMS parts in 4 SMS sequences"), std::string::npos) << r.output;
}

TEST_F(Gammu, SendsAShortAndALongText) {
  const std::string shortText = "Short message from gammu [ok]";
  auto r = gammu({"sendsms", "TEXT", "+4915112345", "-text", shortText});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("message reference=1"), std::string::npos) << r.output;
  std::string longText;
  while (longText.size() < 400) longText += "Long text {" + std::to_string(longText.size()) + "} ";
  longText.resize(400);
  r = gammu({"sendsms", "TEXT", "+4915112345", "-len", "400", "-text", longText});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const auto state = JsonValue::parse(modem_->stateJson());
  ASSERT_TRUE(state);
  const auto& texts = (*state)["sentTexts"].items();
  ASSERT_EQ(texts.size(), 2u) << modem_->stateJson();
  EXPECT_EQ(texts[0]["text"].asString(), shortText);
  EXPECT_EQ(texts[1]["text"].asString(), longText);
  EXPECT_EQ(texts[1]["destination"].asString(), "+4915112345");
  EXPECT_EQ((*state)["sent"].items().size(), 4u) << "the long text went in three parts";
}

TEST_F(Gammu, ReadsPhoneBookLocations) {
  modem_->update([](ModemContext& ctx) {
    PhoneBook* sm = ctx.phoneBooks.find("SM");
    sm->entries[1] = {"+4930123456", 145, "Alice", std::nullopt};
    sm->entries[3] = {"0301234", 129, "Bob, \"The Builder\"", std::nullopt};
    sm->entries[5] = {"12345", 129, "J\xC3\xBCrgen", std::nullopt};
  });
  const auto r = gammu({"getmemory", "SM", "1", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("\"+4930123456\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\"Alice\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\"Bob, \"The Builder\"\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\"J\xC3\xBCrgen\""), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("2 entries empty, 3 entries filled"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace fonexa::sim::test
