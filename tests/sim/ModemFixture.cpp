#include "ModemFixture.h"

namespace fonexa::sim::test {

ModemOptions ModemTest::quickOptions(const std::string& profile) {
  ModemOptions o;
  o.profile = profile;
  o.registrationDelay = std::chrono::milliseconds(0);
  o.bootTime = std::chrono::milliseconds(0);
  return o;
}

void ModemTest::start(ModemOptions options) {
  modem_ = std::make_unique<VirtualModem>(options);
  std::string error;
  ASSERT_TRUE(modem_->start(&error)) << error;
  settle();
  client_ = std::make_unique<PtyClient>(modem_->devicePath());
  ASSERT_TRUE(client_->isOpen());
  ASSERT_EQ(at("ATE0"), "ATE0\r\r\nOK\r\n");
}

void ModemTest::TearDown() {
  if (HasFailure() && modem_) std::fprintf(stderr, "%s", modem_->transcript().render().c_str());
  client_.reset();
  modem_.reset();
}

void ModemTest::settle() {
  modem_->update([](ModemContext&) {});
  modem_->update([](ModemContext&) {});
}

void ModemTest::waitHandled(const std::string& bytes) {
  ASSERT_TRUE(modem_->transcript().waitFor(Direction::In, bytes, std::chrono::seconds(5)));
  settle();
}

void ModemTest::sendAndSettle(const std::string& line) {
  const size_t before = modem_->transcript().size(Direction::In);
  client_->write(line + "\r");
  ASSERT_TRUE(modem_->transcript().waitFor(Direction::In, line + "\r", std::chrono::seconds(5), before));
  settle();
}

std::vector<std::string> ModemTest::infoLines(const std::string& answer) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < answer.size()) {
    size_t eol = answer.find("\r\n", pos);
    if (eol == std::string::npos) eol = answer.size();
    std::string line = answer.substr(pos, eol - pos);
    pos = eol + 2;
    if (!line.empty()) lines.push_back(line);
  }
  if (!lines.empty()) lines.pop_back();  // the final result code
  return lines;
}

}  // namespace fonexa::sim::test
