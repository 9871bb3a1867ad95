// What pppd's own log lines say about a dial-up link.
//
// pppd runs in the foreground with its log on a pipe, and its progress is read
// from the lines it writes there without the debug option: the connect script
// has brought the modem online ("Serial connection established."), the ppp
// unit is chosen ("Using interface ppp0"), the link is up over the tty
// ("Connect: ppp0 <--> /dev/ttyUSB0"), authentication succeeded or failed,
// and the network gave us an address ("local  IP address 10.0.0.1"). With the
// dump option pppd first lists the options in effect, the line speed among
// them as a bare number ("115200		# (from /etc/ppp/peers/gprs)").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fonexa::platform {

// The states of a dial-up connection, with the numbers applications of the
// remote access service have always seen.
enum class ConnectionState : uint32_t {
  OpenPort = 0,
  PortOpened = 1,
  ConnectDevice = 2,
  DeviceConnected = 3,
  AllDevicesConnected = 4,
  Authenticate = 5,
  Authenticated = 14,
  Connected = 0x2000,
  Disconnected = 0x2001,
};

// The states a dial passes through, in order, Disconnected aside. pppd logs
// some steps only with its debug option, so a line that shows a later step
// stands for every step before it as well.
inline constexpr ConnectionState kDialStates[] = {
    ConnectionState::OpenPort,       ConnectionState::PortOpened,          ConnectionState::ConnectDevice,
    ConnectionState::DeviceConnected, ConnectionState::AllDevicesConnected, ConnectionState::Authenticate,
    ConnectionState::Authenticated,  ConnectionState::Connected,
};

// The place of a state in kDialStates; -1 for Disconnected.
int DialStep(ConnectionState state);

// One log line, read.
struct PppLogNotice {
  enum class Kind {
    Nothing,               // a line that changes nothing here
    Reached,               // the link has reached state
    Interface,             // text is the ppp interface's name
    Speed,                 // speed is the line speed in the options in effect
    AuthenticationFailed,  // the peer refused our name and password
  };
  Kind kind = Kind::Nothing;
  ConnectionState state = ConnectionState::OpenPort;
  std::string text;
  uint32_t speed = 0;
};

PppLogNotice ReadPppLogLine(std::string_view line);

}  // namespace fonexa::platform
