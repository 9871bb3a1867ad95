#include "sim/VirtualModem.h"

#include <poll.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <sstream>

#include "sim/ModemCore.h"
#include "sim/control/ModemStateJson.h"
#include "sim/line/EventLoop.h"
#include "sim/line/LineShaper.h"
#include "sim/line/PtyEndpoint.h"

namespace fonexa::sim {

namespace {
// What a client that never reads may leave waiting in the modem; beyond it
// the oldest output is lost, as on a line nobody listens to.
constexpr size_t kMaxPendingOutput = 64 * 1024;
}  // namespace

struct VirtualModem::Impl {
  ModemOptions options;
  EventLoop loop;
  Transcript transcript;
  std::unique_ptr<PtyEndpoint> pty;
  std::unique_ptr<ModemCore> core;
  std::unique_ptr<LineShaper> line;
  std::string unwritten;
  std::string devicePath;
  std::mt19937 noise{12345};

  void transmit(std::string_view bytes) {
    if (!pty || !pty->open()) return;
    transcript.record(Direction::Out, bytes);
    if (!unwritten.empty()) {
      unwritten.append(bytes);
      if (unwritten.size() > kMaxPendingOutput) unwritten.erase(0, unwritten.size() - kMaxPendingOutput);
      return;
    }
    const ssize_t n = pty->write(bytes.data(), bytes.size());
    const size_t written = n > 0 ? static_cast<size_t>(n) : 0;
    if (written < bytes.size()) {
      unwritten.assign(bytes.substr(written));
      loop.setEvents(pty->masterFd(), POLLIN | POLLOUT);
    }
  }

  void flushUnwritten() {
    while (!unwritten.empty()) {
      const ssize_t n = pty->write(unwritten.data(), unwritten.size());
      if (n <= 0) return;
      unwritten.erase(0, static_cast<size_t>(n));
    }
    loop.setEvents(pty->masterFd(), POLLIN);
  }

  void onMaster(short revents) {
    // A client that closed is forgotten before anything else is read: its
    // own unread bytes go, and the next client's do not get flushed with them.
    if (clientLeft()) return;
    if (revents & POLLOUT) flushUnwritten();
    if (!(revents & POLLIN)) return;
    // One read per wake-up: timers that fell due while a command ran (a
    // registration, a call's progress) go before the next command is read.
    char buf[4096];
    const ssize_t n = pty->read(buf, sizeof buf);
    if (n <= 0) return;  // EAGAIN, or EIO while nobody is on the other side
    const std::string_view bytes(buf, static_cast<size_t>(n));
    transcript.record(Direction::In, bytes);
    line->receive(bytes);
  }

  void onWatch(short) { clientLeft(); }

  // True when the last thing on the device was a client closing it. What
  // that client had still sent is dropped unanswered, and what it left unread
  // is flushed, so that the next client starts clean.
  bool clientLeft() {
    if (pty->watchFd() < 0 || !pty->clientClosed()) return false;
    pty->forgetClient();
    unwritten.clear();
    loop.setEvents(pty->masterFd(), POLLIN);
    size_t dropped = 0;
    char buf[4096];
    for (ssize_t n; (n = pty->read(buf, sizeof buf)) > 0;) dropped += static_cast<size_t>(n);
    line->clear();
    transcript.record(Direction::Note, "client closed" + (dropped ? ", " + std::to_string(dropped) + " bytes from it dropped" : std::string()) + "\n");
    return true;
  }

  void closeLine() {
    if (!pty) return;
    loop.unwatch(pty->masterFd());
    loop.unwatch(pty->watchFd());
    if (line) line->clear();
    pty->close();
    transcript.record(Direction::Note, "line closed\n");
  }
};

VirtualModem::VirtualModem(ModemOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

VirtualModem::~VirtualModem() { stop(); }

const ModemOptions& VirtualModem::options() const { return impl_->options; }

bool VirtualModem::start(std::string* error) {
  Impl& m = *impl_;
  if (m.loop.running()) return true;
  std::string reason;
  const DeviceProfile* profile = findDeviceProfile(m.options.profile);
  if (!profile) {
    if (error) *error = "unknown profile " + m.options.profile;
    return false;
  }
  m.pty = PtyEndpoint::create(reason);
  if (!m.pty) {
    if (error) *error = reason;
    return false;
  }
  m.devicePath = m.pty->slavePath();
  if (!m.options.linkPath.empty() && !m.pty->link(m.options.linkPath, reason)) {
    if (error) *error = reason;
    m.pty.reset();
    return false;
  }
  std::optional<JsonValue> state;
  if (!m.options.stateFile.empty()) {
    std::ifstream in(m.options.stateFile);
    if (in) {
      std::stringstream text;
      text << in.rdbuf();
      state = JsonValue::parse(text.str(), &reason);
      if (!state) {
        if (error) *error = m.options.stateFile + ": " + reason;
        m.pty.reset();
        return false;
      }
    }
  }
  m.loop.start();
  bool ok = true;
  m.loop.call([&] {
    m.core = std::make_unique<ModemCore>(*profile, m.loop,
                                         [&m](std::string bytes, OutputKind kind) { m.line->send(std::move(bytes), kind); });
    ModemContext& ctx = m.core->context();
    ctx.sim = SimCard(m.options.codes, m.options.pinRequired, m.options.simPresent);
    ctx.network.registrationDelay = m.options.registrationDelay;
    if (state && !applyStateJson(ctx, *state, reason)) ok = false;
    m.line = std::make_unique<LineShaper>(
        m.loop, [&m](std::string_view bytes) { m.transmit(bytes); },
        [&m](std::string_view bytes) { m.core->receive(bytes); });
    m.line->conditions.bytesPerSecond = m.options.bytesPerSecond;
    m.core->powerOn();
    m.loop.watch(m.pty->masterFd(), POLLIN, [&m](short ev) { m.onMaster(ev); });
    if (m.pty->watchFd() >= 0) m.loop.watch(m.pty->watchFd(), POLLIN, [&m](short ev) { m.onWatch(ev); });
  });
  if (!ok) {
    if (error) *error = m.options.stateFile + ": " + reason;
    stop();
    return false;
  }
  return true;
}

void VirtualModem::stop() {
  Impl& m = *impl_;
  if (!m.loop.running()) return;
  if (!m.options.stateFile.empty() && m.core) saveState(m.options.stateFile);
  m.loop.call([&m] { m.closeLine(); });
  m.loop.stop();
  m.line.reset();
  m.core.reset();
  m.pty.reset();
}

bool VirtualModem::running() const { return impl_->loop.running() && impl_->pty && impl_->pty->open(); }

std::string VirtualModem::devicePath() const { return impl_->devicePath; }

Transcript& VirtualModem::transcript() { return impl_->transcript; }

void VirtualModem::update(const std::function<void(ModemContext&)>& change) {
  Impl& m = *impl_;
  m.loop.call([&] {
    if (!m.core) return;
    change(m.core->context());
    m.core->settle();
  });
}

std::vector<ReceivedOutcome> VirtualModem::injectSms(const std::string& from, const std::string& text,
                                                     int messageClass) {
  std::vector<ReceivedOutcome> out;
  update([&](ModemContext& ctx) {
    DeliverRequest r;
    r.originator = from;
    r.text = text;
    r.messageClass = messageClass;
    r.time = ctx.clock.now();
    out = ctx.centre.deliverText(r);
  });
  return out;
}

bool VirtualModem::injectPdu(const std::string& hex, std::string* error) {
  bool ok = false;
  update([&](ModemContext& ctx) {
    auto d = decodeDeliver(hex);
    if (!d) {
      if (error) *error = "not a valid SMS-DELIVER PDU";
      return;
    }
    ctx.centre.deliver({hex, tpduLengthOf(hex)});
    ok = true;
  });
  return ok;
}

void VirtualModem::statusReport(int reference, int status) {
  update([&](ModemContext& ctx) {
    std::string recipient;
    for (const auto& s : ctx.centre.sent()) {
      if (s.reference == reference) recipient = s.destination;
    }
    ctx.centre.statusReport(reference, status, recipient);
  });
}

void VirtualModem::setReportPlan(const std::vector<ReportStep>& steps, bool next) {
  update([&](ModemContext& ctx) {
    if (next) {
      ctx.centre.nextReportPlans.push_back(steps);
    } else {
      ctx.centre.reportPlan = steps;
    }
  });
}

bool VirtualModem::ring(const std::string& number) {
  bool ok = false;
  impl_->loop.call([&] { ok = impl_->core && impl_->core->ring(number); });
  return ok;
}

bool VirtualModem::remoteAnswer() {
  bool ok = false;
  update([&](ModemContext& ctx) { ok = ctx.calls.remoteAnswer(); });
  return ok;
}

bool VirtualModem::remoteHangUp(int callId) {
  bool ok = false;
  update([&](ModemContext& ctx) { ok = ctx.calls.remoteHangUp(callId); });
  return ok;
}

void VirtualModem::setDialOutcome(DialOutcome outcome, const std::string& pattern) {
  update([&](ModemContext& ctx) {
    if (pattern.empty()) {
      ctx.calls.rules.setNext(outcome);
    } else {
      DialRule rule;
      rule.pattern = pattern;
      rule.outcome = outcome;
      ctx.calls.rules.add(rule);
    }
  });
}

void VirtualModem::setSignal(int rssi, int ber) {
  update([&](ModemContext& ctx) {
    ctx.network.rssi = rssi;
    ctx.network.ber = ber;
  });
}

void VirtualModem::setRegistration(Registration status, const std::string& numeric) {
  update([&](ModemContext& ctx) { ctx.network.force(status, numeric); });
}

void VirtualModem::setSimState(SimState state) {
  update([&](ModemContext& ctx) { ctx.sim.force(state); });
}

void VirtualModem::sendUnsolicited(const std::string& text) {
  impl_->loop.call([&] {
    if (impl_->core) impl_->core->emit(text);
  });
}

void VirtualModem::setSilent(bool silent) {
  impl_->loop.call([&] {
    if (impl_->line) impl_->line->conditions.silent = silent;
  });
}

void VirtualModem::setResponseDelay(std::chrono::milliseconds delay) {
  impl_->loop.call([&] {
    if (impl_->line) impl_->line->conditions.responseDelay = delay;
  });
}

void VirtualModem::setLineSpeed(int bytesPerSecond) {
  impl_->loop.call([&] {
    if (impl_->line) impl_->line->conditions.bytesPerSecond = bytesPerSecond;
  });
}

void VirtualModem::setChunking(size_t chunkSize, std::chrono::milliseconds gap) {
  impl_->loop.call([&] {
    if (!impl_->line) return;
    impl_->line->conditions.chunkSize = chunkSize;
    impl_->line->conditions.chunkGap = gap;
  });
}

void VirtualModem::sendGarbage(size_t count) {
  Impl& m = *impl_;
  m.loop.call([&] {
    if (!m.line) return;
    std::string bytes;
    std::uniform_int_distribution<int> byte(0, 255);
    while (bytes.size() < count) {
      const char c = static_cast<char>(byte(m.noise));
      if (c != '\r' && c != '\n') bytes += c;
    }
    m.transcript.record(Direction::Note, "garbage\n");
    m.line->send(bytes, OutputKind::Unsolicited);
  });
}

void VirtualModem::dropNextLineEnd() {
  impl_->loop.call([&] {
    if (impl_->line) impl_->line->dropNextLineEnd = true;
  });
}

void VirtualModem::sendOverlongLine(size_t length) {
  impl_->loop.call([&] {
    if (!impl_->line) return;
    std::string text = "+XLONG: ";
    while (text.size() < length) text += static_cast<char>('A' + text.size() % 26);
    impl_->line->send("\r\n" + text + "\r\n", OutputKind::Unsolicited);
  });
}

void VirtualModem::hangUp() {
  impl_->loop.call([&] { impl_->closeLine(); });
}

void VirtualModem::reboot() {
  impl_->loop.call([&] {
    if (!impl_->core) return;
    impl_->transcript.record(Direction::Note, "reboot\n");
    impl_->line->clear();
    impl_->core->reboot(impl_->options.bootTime);
  });
}

std::string VirtualModem::stateJson() {
  std::string out;
  update([&](ModemContext& ctx) { out = stateToJson(ctx).dump(); });
  return out;
}

std::vector<SentMessage> VirtualModem::sentMessages() {
  std::vector<SentMessage> out;
  update([&](ModemContext& ctx) { out = ctx.centre.sent(); });
  return out;
}

bool VirtualModem::saveState(const std::string& path, std::string* error) {
  const std::string json = stateJson();
  std::ofstream out(path, std::ios::trunc);
  if (!out || !(out << json << '\n')) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace fonexa::sim
