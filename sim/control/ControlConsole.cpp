#include "sim/control/ControlConsole.h"

#include <cctype>
#include <optional>
#include <sstream>
#include <vector>

#include "sim/control/ModemStateJson.h"

namespace fonexa::sim {
namespace {

struct Words {
  std::vector<std::string> words;
  std::string_view line;
  // The text from the n-th word to the end of the line, spaces kept.
  std::string rest(size_t n) const {
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
      pos = line.find_first_not_of(' ', pos);
      pos = line.find(' ', pos);
      if (pos == std::string_view::npos) return "";
    }
    pos = line.find_first_not_of(' ', pos);
    return pos == std::string_view::npos ? "" : std::string(line.substr(pos));
  }
};

Words split(std::string_view line) {
  Words w;
  w.line = line;
  std::istringstream in{std::string(line)};
  std::string word;
  while (in >> word) w.words.push_back(word);
  return w;
}

std::optional<int> number(const std::string& s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return std::stoi(s);
}

std::optional<SimState> simStateFromName(const std::string& name) {
  for (SimState s : {SimState::Ready, SimState::PinRequired, SimState::PukRequired, SimState::PhoneCodeRequired,
                     SimState::Absent, SimState::Blocked}) {
    if (simStateName(s) == name) return s;
  }
  return std::nullopt;
}

std::string fail(const std::string& reason) { return "error: " + reason + "\n"; }

}  // namespace

std::string ControlConsole::help() {
  return R"(Control commands (one per line):
  sms [--class N] FROM TEXT     deliver a text message from FROM (long texts arrive in parts;
                                the network keeps it while the phone is not registered)
  pdu HEX                       deliver a raw SMS-DELIVER PDU (service-centre address first)
  report MR [STATUS]            status report for the sent message MR (TP-ST, default 0 delivered)
  report-plan [--next] [ST@MS ...]  reports on messages that ask for them: TP-ST ST after MS ms
                                each (none: no reports); --next for the next such message only
  ring NUMBER                   an incoming call from NUMBER (RING, +CLIP as set)
  answer                        the called party answers the call being dialled
  hangup [ID]                   the other side ends call ID, or every call
  dial-outcome OUTCOME [PATTERN] connect|busy|no-dialtone|no-carrier|no-answer for the next
                                dial, or for every number matching PATTERN ("0800*", exact, "*")
  signal RSSI [BER]             signal quality as +CSQ reports it
  register STAT [OPERATOR]      registration status 0-5, optionally on a numeric operator
  sim STATE                     ready|pin|puk|phone-code|absent|blocked
  urc TEXT                      send TEXT as an unsolicited line
  sysstart                      send ^SYSSTART
  alarm-start TEXT              send ^SYSSTART ALARM MODE followed by +CALA: TEXT
  alarm TEXT                    send +CALA: TEXT
  fault silence on|off          stop reading and answering, or resume
  fault delay MS                wait MS before every answer (0 for none)
  fault split BYTES GAP_MS      send output in pieces of BYTES, GAP_MS apart (0 0 for whole)
  fault garbage [COUNT]         send COUNT random bytes (default 16)
  fault no-line-end             the next answer loses its final CR LF
  fault long-line [LENGTH]      send an unsolicited line of LENGTH characters (default 4096)
  fault hangup                  close the pseudo-terminal
  fault reboot                  restart: calls dropped, settings reset, then ^SYSSTART
  speed BYTES_PER_SECOND        line speed in both directions (0 for none)
  state                         the whole state as JSON
  sent                          the texts sent so far, concatenated parts joined
  transcript                    every byte in (>) and out (<) with its time
  help                          this text
  quit                          stop the modem and exit
)";
}

std::string ControlConsole::execute(std::string_view line) {
  const Words w = split(line);
  if (w.words.empty()) return "";
  const std::string& cmd = w.words[0];
  auto arg = [&w](size_t i) -> std::string { return i < w.words.size() ? w.words[i] : ""; };

  if (cmd == "help") return help() + "ok\n";
  if (cmd == "quit" || cmd == "exit") {
    quit_ = true;
    return "ok\n";
  }
  if (cmd == "sms") {
    size_t first = 1;
    int messageClass = -1;
    if (arg(1) == "--class") {
      auto c = number(arg(2));
      if (!c || *c > 3) return fail("class must be 0-3");
      messageClass = *c;
      first = 3;
    }
    if (w.words.size() < first + 2) return fail("usage: sms [--class N] FROM TEXT");
    std::string out;
    for (const auto& r : modem_.injectSms(arg(first), w.rest(first + 1), messageClass)) {
      out += r.route + (r.index ? " " + r.memory + " " + std::to_string(r.index) : "") + "\n";
    }
    return out + "ok\n";
  }
  if (cmd == "pdu") {
    std::string error;
    if (!modem_.injectPdu(arg(1), &error)) return fail(error);
    return "ok\n";
  }
  if (cmd == "report") {
    auto mr = number(arg(1));
    auto status = arg(2).empty() ? std::optional<int>(0) : number(arg(2));
    if (!mr || !status || *status > 255) return fail("usage: report MR [STATUS]");
    modem_.statusReport(*mr, *status);
    return "ok\n";
  }
  if (cmd == "report-plan") {
    const bool next = arg(1) == "--next";
    std::vector<ReportStep> steps;
    for (size_t i = next ? 2 : 1; i < w.words.size(); ++i) {
      const std::string& step = w.words[i];
      const size_t at = step.find('@');
      auto status = number(step.substr(0, at));
      auto delay = at == std::string::npos ? std::optional<int>(0) : number(step.substr(at + 1));
      if (!status || !delay || *status > 255) return fail("usage: report-plan [--next] [STATUS@MS ...]");
      steps.push_back({*status, std::chrono::milliseconds(*delay)});
    }
    modem_.setReportPlan(steps, next);
    return "ok\n";
  }
  if (cmd == "ring") {
    if (arg(1).empty()) return fail("usage: ring NUMBER");
    return modem_.ring(arg(1)) ? "ok\n" : fail("the phone cannot take a call now");
  }
  if (cmd == "answer") return modem_.remoteAnswer() ? "ok\n" : fail("no call is being dialled");
  if (cmd == "hangup") {
    auto id = arg(1).empty() ? std::optional<int>(0) : number(arg(1));
    if (!id) return fail("usage: hangup [ID]");
    return modem_.remoteHangUp(*id) ? "ok\n" : fail("no such call");
  }
  if (cmd == "dial-outcome") {
    auto outcome = dialOutcomeFromName(arg(1));
    if (!outcome) return fail("outcome must be connect, busy, no-dialtone, no-carrier or no-answer");
    modem_.setDialOutcome(*outcome, arg(2));
    return "ok\n";
  }
  if (cmd == "signal") {
    auto rssi = number(arg(1));
    auto ber = arg(2).empty() ? std::optional<int>(99) : number(arg(2));
    if (!rssi || !ber || (*rssi > 31 && *rssi != 99) || (*ber > 7 && *ber != 99)) {
      return fail("usage: signal RSSI(0-31,99) [BER(0-7,99)]");
    }
    modem_.setSignal(*rssi, *ber);
    return "ok\n";
  }
  if (cmd == "register") {
    auto stat = number(arg(1));
    if (!stat || *stat > 5) return fail("usage: register STAT(0-5) [OPERATOR]");
    modem_.setRegistration(static_cast<Registration>(*stat), arg(2));
    return "ok\n";
  }
  if (cmd == "sim") {
    auto state = simStateFromName(arg(1));
    if (!state) return fail("state must be ready, pin, puk, phone-code, absent or blocked");
    modem_.setSimState(*state);
    return "ok\n";
  }
  if (cmd == "urc") {
    if (w.rest(1).empty()) return fail("usage: urc TEXT");
    modem_.sendUnsolicited(w.rest(1));
    return "ok\n";
  }
  if (cmd == "sysstart") {
    modem_.sendUnsolicited("^SYSSTART");
    return "ok\n";
  }
  if (cmd == "alarm-start") {
    modem_.sendUnsolicited("^SYSSTART ALARM MODE\r\n+CALA: " + w.rest(1));
    return "ok\n";
  }
  if (cmd == "alarm") {
    modem_.sendUnsolicited("+CALA: " + w.rest(1));
    return "ok\n";
  }
  if (cmd == "speed") {
    auto bps = number(arg(1));
    if (!bps) return fail("usage: speed BYTES_PER_SECOND");
    modem_.setLineSpeed(*bps);
    return "ok\n";
  }
  if (cmd == "fault") {
    const std::string kind = arg(1);
    if (kind == "silence" && (arg(2) == "on" || arg(2) == "off")) {
      modem_.setSilent(arg(2) == "on");
    } else if (kind == "delay" && number(arg(2))) {
      modem_.setResponseDelay(std::chrono::milliseconds(*number(arg(2))));
    } else if (kind == "split" && number(arg(2)) && number(arg(3))) {
      modem_.setChunking(static_cast<size_t>(*number(arg(2))), std::chrono::milliseconds(*number(arg(3))));
    } else if (kind == "garbage") {
      auto count = arg(2).empty() ? std::optional<int>(16) : number(arg(2));
      if (!count) return fail("usage: fault garbage [COUNT]");
      modem_.sendGarbage(static_cast<size_t>(*count));
    } else if (kind == "no-line-end") {
      modem_.dropNextLineEnd();
    } else if (kind == "long-line") {
      auto length = arg(2).empty() ? std::optional<int>(4096) : number(arg(2));
      if (!length) return fail("usage: fault long-line [LENGTH]");
      modem_.sendOverlongLine(static_cast<size_t>(*length));
    } else if (kind == "hangup") {
      modem_.hangUp();
    } else if (kind == "reboot") {
      modem_.reboot();
    } else {
      return fail("unknown fault; see help");
    }
    return "ok\n";
  }
  if (cmd == "state") return modem_.stateJson() + "\nok\n";
  if (cmd == "sent") {
    std::string out;
    std::string json = modem_.stateJson();
    auto state = JsonValue::parse(json);
    if (state) {
      for (const auto& s : (*state)["sentTexts"].items()) {
        out += s["destination"].asString() + ": " + s["text"].asString() + "\n";
      }
    }
    return out + "ok\n";
  }
  if (cmd == "transcript") return modem_.transcript().render() + "ok\n";
  return fail("unknown command '" + cmd + "'; try help");
}

}  // namespace fonexa::sim
