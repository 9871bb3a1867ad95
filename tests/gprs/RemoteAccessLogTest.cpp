// pppd's log lines, as pppd 2.4 writes them without its debug option, read
// into connection states, the interface, and the line speed.
#include <gtest/gtest.h>

#include "platform/RemoteAccess.h"
#include "platform/RemoteAccessLog.h"

namespace fonexa::platform {
namespace {

using Kind = PppLogNotice::Kind;

struct LogCase {
  const char* name;
  const char* line;
  Kind kind;
  ConnectionState state;
  const char* text;
  uint32_t speed;
};

const LogCase kLogCases[] = {
    {"connect script done", "Serial connection established.", Kind::Reached, ConnectionState::DeviceConnected, "", 0},
    {"unit chosen", "Using interface ppp0", Kind::Interface, ConnectionState::OpenPort, "ppp0", 0},
    {"unit with a line end", "Using interface ppp12\r", Kind::Interface, ConnectionState::OpenPort, "ppp12", 0},
    {"link up on a USB modem", "Connect: ppp0 <--> /dev/ttyUSB0", Kind::Reached,
     ConnectionState::AllDevicesConnected, "", 0},
    {"PAP accepted", "PAP authentication succeeded", Kind::Reached, ConnectionState::Authenticated, "", 0},
    {"CHAP accepted with a message", "CHAP authentication succeeded: Access granted", Kind::Reached,
     ConnectionState::Authenticated, "", 0},
    {"PAP refused", "PAP authentication failed", Kind::AuthenticationFailed, ConnectionState::OpenPort, "", 0},
    {"address given", "local  IP address 10.170.231.74", Kind::Reached, ConnectionState::Connected, "", 0},
    {"the peer's address is not ours", "remote IP address 10.64.64.64", Kind::Nothing, ConnectionState::OpenPort,
     "", 0},
    {"speed in the option dump", "115200\t\t# (from /etc/ppp/peers/provider)", Kind::Speed,
     ConnectionState::OpenPort, "", 115200},
    {"bare speed", "460800", Kind::Speed, ConnectionState::OpenPort, "", 460800},
    {"other options of the dump", "/dev/ttyUSB0\t\t# (from /etc/ppp/peers/provider)", Kind::Nothing,
     ConnectionState::OpenPort, "", 0},
    {"a number too long for a speed", "12345678901", Kind::Nothing, ConnectionState::OpenPort, "", 0},
    {"start banner", "pppd 2.4.9 started by anna, uid 1000", Kind::Nothing, ConnectionState::OpenPort, "", 0},
    {"a path for an interface name", "Using interface ../../etc", Kind::Nothing, ConnectionState::OpenPort, "", 0},
    {"an interface name past IFNAMSIZ", "Using interface ppp0123456789abcdef", Kind::Nothing,
     ConnectionState::OpenPort, "", 0},
    {"the same text later in a line", "Remote message: Serial connection established.", Kind::Nothing,
     ConnectionState::OpenPort, "", 0},
    {"empty", "", Kind::Nothing, ConnectionState::OpenPort, "", 0},
};

TEST(RemoteAccessLogTest, ReadsEachLineByItsBeginning) {
  for (const auto& c : kLogCases) {
    SCOPED_TRACE(c.name);
    const PppLogNotice notice = ReadPppLogLine(c.line);
    EXPECT_EQ(notice.kind, c.kind);
    if (c.kind == Kind::Reached) {
      EXPECT_EQ(notice.state, c.state);
    }
    EXPECT_EQ(notice.text, c.text);
    EXPECT_EQ(notice.speed, c.speed);
  }
}

TEST(RemoteAccessLogTest, DialStatesRunInTheOrderApplicationsSee) {
  ASSERT_EQ(std::size(kDialStates), 8u);
  EXPECT_EQ(DialStep(ConnectionState::OpenPort), 0);
  EXPECT_EQ(DialStep(ConnectionState::Authenticated), 6);
  EXPECT_EQ(DialStep(ConnectionState::Connected), 7);
  EXPECT_EQ(DialStep(ConnectionState::Disconnected), -1);
  EXPECT_EQ(static_cast<uint32_t>(ConnectionState::Authenticated), 14u);
  EXPECT_EQ(static_cast<uint32_t>(ConnectionState::Connected), 0x2000u);
}

TEST(RemoteAccessCommandLineTest, CarriesNoCredentials) {
  const auto args = RemoteAccess::PppdArguments("gprs", "/run/user/1000/fonexa-ppp-abc");
  const std::vector<std::string> expected{"call", "gprs", "nodetach", "logfd", "3", "dump",
                                          "file", "/run/user/1000/fonexa-ppp-abc"};
  EXPECT_EQ(args, expected);
  EXPECT_EQ(RemoteAccess::PppdArguments("gprs", "").size(), 6u);
}

TEST(RemoteAccessCommandLineTest, CredentialsAreQuotedForPppdsOptionReader) {
  EXPECT_EQ(RemoteAccess::CredentialOptions({"gprs", "anna", "pa\"ss\\word", ""}),
            "user \"anna\"\npassword \"pa\\\"ss\\\\word\"\n");
  EXPECT_EQ(RemoteAccess::CredentialOptions({"gprs", "anna", "", "CORP"}), "user \"CORP\\\\anna\"\n");
  EXPECT_EQ(RemoteAccess::CredentialOptions({"gprs", "", "", "CORP"}), "");
}

TEST(RemoteAccessCommandLineTest, RefusesTextsThatWouldBecomeOptionsOfTheirOwn) {
  RemoteAccess::Handle handle = 77;
  EXPECT_EQ(RemoteAccess::Dial({"", "u", "p", ""}, nullptr, &handle), RemoteAccess::kErrorInvalidParameter);
  EXPECT_EQ(handle, RemoteAccess::kNoHandle);
  EXPECT_EQ(RemoteAccess::Dial({"../passwd", "u", "p", ""}, nullptr, &handle), RemoteAccess::kErrorInvalidParameter);
  EXPECT_EQ(RemoteAccess::Dial({"gprs", "u", "p\nnoauth", ""}, nullptr, &handle),
            RemoteAccess::kErrorInvalidParameter);
  EXPECT_EQ(RemoteAccess::Dial({"gprs", "u\x7f", "p", ""}, nullptr, &handle), RemoteAccess::kErrorInvalidParameter);
  EXPECT_EQ(RemoteAccess::GetConnectStatus(77, nullptr), RemoteAccess::kErrorInvalidHandle);
}

}  // namespace
}  // namespace fonexa::platform
