#include "platform/RemoteAccessLog.h"

#include <charconv>

namespace fonexa::platform {

namespace {

using Kind = PppLogNotice::Kind;

// Lines recognised by their fixed beginning, in the order pppd writes them.
struct LineRule {
  std::string_view prefix;
  Kind kind;
  ConnectionState state;
};

constexpr LineRule kLineRules[] = {
    {"Serial connection established.", Kind::Reached, ConnectionState::DeviceConnected},
    {"Using interface ", Kind::Interface, ConnectionState::OpenPort},
    {"Connect: ", Kind::Reached, ConnectionState::AllDevicesConnected},
    {"PAP authentication succeeded", Kind::Reached, ConnectionState::Authenticated},
    {"CHAP authentication succeeded", Kind::Reached, ConnectionState::Authenticated},
    {"EAP authentication succeeded", Kind::Reached, ConnectionState::Authenticated},
    {"PAP authentication failed", Kind::AuthenticationFailed, ConnectionState::OpenPort},
    {"CHAP authentication failed", Kind::AuthenticationFailed, ConnectionState::OpenPort},
    {"EAP authentication failed", Kind::AuthenticationFailed, ConnectionState::OpenPort},
    {"local  IP address ", Kind::Reached, ConnectionState::Connected},
};

std::string_view TrimEnd(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '\t')) {
    s.remove_suffix(1);
  }
  return s;
}

// "115200		# (from /etc/ppp/peers/gprs)" or a bare "115200": the only
// option pppd lists as a number of its own is the line speed.
bool ReadSpeedOption(std::string_view line, uint32_t& speed) {
  const auto comment = line.find('#');
  std::string_view word = TrimEnd(line.substr(0, comment));
  if (word.empty() || word.size() > 10) return false;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
  }
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || value == 0) return false;
  speed = value;
  return true;
}

}  // namespace

int DialStep(ConnectionState state) {
  for (int i = 0; i < static_cast<int>(std::size(kDialStates)); ++i) {
    if (kDialStates[i] == state) return i;
  }
  return -1;
}

PppLogNotice ReadPppLogLine(std::string_view line) {
  line = TrimEnd(line);
  PppLogNotice notice;
  for (const auto& rule : kLineRules) {
    if (line.substr(0, rule.prefix.size()) != rule.prefix) continue;
    notice.kind = rule.kind;
    notice.state = rule.state;
    if (rule.kind == Kind::Interface) {
      const std::string_view name = line.substr(rule.prefix.size());
      // An interface name is one word without "/" (it becomes a path below
      // /sys/class/net) and at most 15 characters (IFNAMSIZ).
      if (name.empty() || name.size() > 15 || name.find_first_of("/ \t") != std::string_view::npos || name == "." ||
          name == "..") {
        return PppLogNotice{};
      }
      notice.text = std::string(name);
    }
    return notice;
  }
  if (ReadSpeedOption(line, notice.speed)) notice.kind = Kind::Speed;
  return notice;
}

}  // namespace fonexa::platform
