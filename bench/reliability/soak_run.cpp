#include "soak_run.h"

#include <dirent.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "fonexa/FonexaCore.h"
#include "sim/VirtualModem.h"

namespace fonexa::soak {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Every event the public header defines, with the name the figures use.
struct EventName {
  uint32_t id;
  const char* name;
};
constexpr EventName kEvents[] = {
    {FONEXA_EVENT_RING, "ring"},
    {FONEXA_EVENT_CALLING_RING, "calling ring"},
    {FONEXA_EVENT_CALLER_ID, "caller id"},
    {FONEXA_EVENT_STATUS_REPORT, "status report"},
    {FONEXA_EVENT_START_UP, "start-up"},
    {FONEXA_EVENT_ALARM_START_UP, "alarm start-up"},
    {FONEXA_EVENT_ALARM, "alarm"},
    {FONEXA_EVENT_SIGNAL, "signal"},
    {FONEXA_EVENT_NEW_MESSAGE, "new message"},
    {FONEXA_EVENT_REGISTRATION, "registration"},
    {FONEXA_EVENT_DIAL_END, "dial end"},
    {FONEXA_EVENT_CALL_LIST, "call list"},
    {FONEXA_EVENT_MODULE_STATE, "module state"},
    {FONEXA_EVENT_TROUBLE, "trouble"},
    {FONEXA_EVENT_JOINED_MESSAGE, "joined message"},
    {FONEXA_EVENT_DELIVERY_REPORT, "delivery report"},
    {FONEXA_EVENT_RAW, "unrecognised code"},
};

const char* NameOf(uint32_t id) {
  for (const auto& e : kEvents) {
    if (e.id == id) return e.name;
  }
  return "other";
}

// What the run has seen so far: events by kind, and the message parts still
// awaited (a part is awaited from before it is injected until an event or a
// listing shows it), fed from the engine's threads and from the application
// loop. Only what is in flight is kept, so the record itself stays flat.
class Observed : public IMxGsmHandler {
 public:
  int OnEvent(uint32_t id, const std::string& text, uint32_t) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++events_[NameOf(id)];
    if (id == FONEXA_EVENT_NEW_MESSAGE || id == FONEXA_EVENT_JOINED_MESSAGE) AddTagsLocked(text);
    return 1;
  }
  void WindowMessage() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++windowMessages_;
  }
  void Listed(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    AddTagsLocked(text);
  }
  void Await(const std::string& tag) {
    std::lock_guard<std::mutex> lock(mutex_);
    awaited_.insert(tag);
    ++awaitedEver_;
  }
  size_t CountAwaited() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return awaited_.size();
  }
  uint64_t CountSeen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return awaitedEver_ - awaited_.size();
  }
  std::vector<std::string> Missing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {awaited_.begin(), awaited_.end()};
  }
  void CopyTo(Figures& figures) const {
    std::lock_guard<std::mutex> lock(mutex_);
    figures.events = events_;
    figures.windowMessages = windowMessages_;
  }

 private:
  void AddTagsLocked(const std::string& text) {
    for (const auto& tag : TagsIn(text)) awaited_.erase(tag);
  }
  mutable std::mutex mutex_;
  std::map<std::string, uint64_t> events_;
  uint64_t windowMessages_ = 0;
  std::set<std::string> awaited_;
  uint64_t awaitedEver_ = 0;
};

intptr_t WindowProcedure(MxWindow, uint32_t message, uintptr_t, intptr_t, void* context) {
  if (message == FONEXA_EVENT_MESSAGE) static_cast<Observed*>(context)->WindowMessage();
  return 1;
}

// The application side: ordinary operations in a loop until told to stop.
class Application {
 public:
  Application(MxGsmHandle h, Observed& observed) : h_(h), observed_(observed) {}

  void Start() {
    thread_ = std::thread([this] { Loop(); });
  }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  void CopyTo(Figures& figures) {
    std::lock_guard<std::mutex> lock(mutex_);
    figures.operations = done_;
    figures.failures = failed_;
  }

 private:
  void Count(const char* operation, bool ok) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_[operation];
    if (!ok) ++failed_[operation];
  }

  void Loop() {
    for (uint64_t round = 0; !stop_; ++round) {
      int rssi = -1, ber = -1;
      Count("signal quality", GetSignalQuality(h_, &rssi, &ber) == 1);
      ListAndDeleteMessages();
      ReadPhoneBook();
      if (round % 10 == 0) {
        int parts = 0;
        const std::string text = "soak report " + std::to_string(round);
        Count("send with report",
              SendSmsUtf8Ex(h_, "+420777555000", text.c_str(), FONEXA_SMS_STATUS_REPORT, &parts, nullptr, 0) > 0);
      }
      std::this_thread::sleep_for(100ms);
    }
  }

  void ListAndDeleteMessages() {
    const int count = LoadSmsEntries(h_, 4);
    Count("list messages", count >= 0);
    std::vector<int> indexes;
    MxSmsRecord record{};
    while (count > 0 && GetNextSmsEntry(&record)) {
      observed_.Listed(record.messageText);
      indexes.push_back(record.index);
    }
    for (int index : indexes) Count("delete message", DeleteSmsEntry(h_, index) == 1);
  }

  void ReadPhoneBook() {
    const int count = LoadPhoneBookEntries(h_, 1, 10);
    Count("read phone book", count >= 0);
    MxPhoneBookRecord record{};
    while (count > 0 && GetNextPhoneBookEntry(&record)) {
    }
  }

  MxGsmHandle h_;
  Observed& observed_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::map<std::string, uint64_t> done_;
  std::map<std::string, uint64_t> failed_;
};

// The network side: one kind of traffic per step, round the table.
class Network {
 public:
  Network(sim::VirtualModem& modem, Observed& observed, Figures& figures)
      : modem_(modem), observed_(observed), figures_(figures) {}

  void Step() {
    switch (step_++ % 10) {
      case 0: Message(false, 1); break;
      case 1: Signal(); break;
      case 2: Message(true, 1); break;
      case 3: Ring(); break;
      case 4: Message(false, 2 + static_cast<int>(long_++ % 2)); break;
      case 5: Registration(); break;
      case 6: StatusReport(); break;
      case 7: Message(true, 2 + static_cast<int>(long_++ % 2)); break;
      case 8: Message(true, 1); break;
      default: Message(false, 1); break;
    }
    if (hangUpAt_ && Clock::now() >= *hangUpAt_) {
      modem_.remoteHangUp(0);
      ++figures_.injected["hang-up"];
      hangUpAt_.reset();
    }
  }
  // Leaves the phone registered and without a call, so that what the network
  // still holds is delivered.
  void Settle() {
    if (hangUpAt_) {
      modem_.remoteHangUp(0);
      ++figures_.injected["hang-up"];
      hangUpAt_.reset();
    }
    modem_.setRegistration(sim::Registration::Home);
  }

 private:
  // Stored: the phone keeps it and announces "+CMTI:". Direct: handed to the
  // terminal as "+CMT:", the routing the plug-in sets up; a phone whose
  // terminal missed an acknowledgement turns that routing off, and the
  // application would turn it on again, as this does before each one.
  void Message(bool direct, int parts) {
    const uint64_t n = ++messages_;
    std::string text;
    for (int p = 1; p <= parts; ++p) {
      text += PartText(n, p, parts == 1 ? 40 : 153);
      observed_.Await("MSG" + std::to_string(n) + "P" + std::to_string(p) + ".");
    }
    modem_.update([&](sim::ModemContext& ctx) { ctx.settings.cnmi.mt = direct ? 2 : 1; });
    modem_.injectSms("+42077710" + std::to_string(1000 + n % 9000), text);
    figures_.partsInjected += static_cast<uint64_t>(parts);
    ++figures_.injected[std::string(direct ? "delivered" : "stored") + (parts > 1 ? " long message" : " message")];
  }
  void Signal() {
    modem_.setSignal(static_cast<int>(5 + (step_ * 7) % 26));
    ++figures_.injected["signal change"];
  }
  void Ring() {
    if (hangUpAt_) return;  // one call at a time
    if (modem_.ring("+420777200" + std::to_string(100 + step_ % 900))) {
      ++figures_.injected["ring"];
      hangUpAt_ = Clock::now() + 1500ms;
    } else {
      ++figures_.injected["ring refused (not registered)"];
    }
  }
  void Registration() {
    static constexpr sim::Registration kCycle[] = {sim::Registration::Roaming, sim::Registration::Home,
                                                   sim::Registration::Searching, sim::Registration::Home};
    modem_.setRegistration(kCycle[registration_++ % 4]);
    ++figures_.injected["registration change"];
  }
  // Reports go to the terminal ("+CDS:") and to memory ("+CDSI:") in turn;
  // references run over the messages the application sent, so some of them
  // match one it asked a report for. The network's own reports on those
  // messages follow the same routing.
  void StatusReport() {
    const int ds = 1 + static_cast<int>(reports_ % 2);
    modem_.update([ds](sim::ModemContext& ctx) { ctx.settings.cnmi.ds = ds; });
    modem_.statusReport(static_cast<int>(1 + reports_++ % 255), 0);
    ++figures_.injected[ds == 1 ? "status report (delivered)" : "status report (stored)"];
  }

  sim::VirtualModem& modem_;
  Observed& observed_;
  Figures& figures_;
  uint64_t step_ = 0, messages_ = 0, long_ = 0, registration_ = 0, reports_ = 0;
  std::optional<Clock::time_point> hangUpAt_;
};

Sample TakeSample(Clock::time_point start) {
  Sample s;
  s.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  s.rssKiB = ResidentKiB();
  s.anonKiB = ResidentKiB("RssAnon:");
  s.heapKiB = HeapInUseKiB();
  s.threads = ThreadCount();
  return s;
}

}  // namespace

long ResidentKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, length, field) == 0) return std::strtol(line.c_str() + length, nullptr, 10);
  }
  return -1;
}

long HeapInUseKiB() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

int ThreadCount() {
  DIR* dir = opendir("/proc/self/task");
  if (!dir) return -1;
  int n = 0;
  while (const dirent* entry = readdir(dir)) n += entry->d_name[0] != '.';
  closedir(dir);
  return n;
}

std::string PartText(uint64_t message, int part, size_t length) {
  std::string text = "MSG" + std::to_string(message) + "P" + std::to_string(part) + ".";
  for (size_t i = 0; text.size() < length; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

std::vector<std::string> TagsIn(const std::string& text) {
  std::vector<std::string> tags;
  auto digits = [&](size_t pos) {
    size_t end = pos;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    return end;
  };
  for (size_t pos = text.find("MSG"); pos != std::string::npos; pos = text.find("MSG", pos + 1)) {
    const size_t n = digits(pos + 3);
    if (n == pos + 3 || n >= text.size() || text[n] != 'P') continue;
    const size_t p = digits(n + 1);
    if (p == n + 1 || p >= text.size() || text[p] != '.') continue;
    tags.push_back(text.substr(pos, p + 1 - pos));
  }
  return tags;
}

double SlopeKiBPerMinute(const std::vector<Sample>& samples, size_t from, long Sample::*field) {
  if (from >= samples.size() || samples.size() - from < 2) return 0;
  const double count = static_cast<double>(samples.size() - from);
  double sx = 0, sy = 0;
  for (size_t i = from; i < samples.size(); ++i) {
    sx += samples[i].seconds;
    sy += static_cast<double>(samples[i].*field);
  }
  const double mx = sx / count, my = sy / count;
  double sxy = 0, sxx = 0;
  for (size_t i = from; i < samples.size(); ++i) {
    const double dx = samples[i].seconds - mx;
    sxy += dx * (static_cast<double>(samples[i].*field) - my);
    sxx += dx * dx;
  }
  return sxx > 0 ? sxy / sxx * 60.0 : 0;
}

Trend TrendOf(const std::vector<Sample>& samples, size_t from) {
  Trend t;
  if (from >= samples.size()) return t;
  t.rssWarmUp = samples[from].rssKiB;
  t.threadsWarmUp = samples[from].threads;
  t.rssEnd = samples.back().rssKiB;
  t.threadsEnd = samples.back().threads;
  for (size_t i = from; i < samples.size(); ++i) {
    t.rssPeak = std::max(t.rssPeak, samples[i].rssKiB);
    t.threadsPeak = std::max(t.threadsPeak, samples[i].threads);
  }
  t.slopeKiBPerMinute = SlopeKiBPerMinute(samples, from);
  t.heapWarmUp = samples[from].heapKiB;
  t.heapEnd = samples.back().heapKiB;
  t.heapSlopeKiBPerMinute = SlopeKiBPerMinute(samples, from, &Sample::heapKiB);
  return t;
}

Figures Run(const Options& options) {
  Figures figures;
  sim::ModemOptions modemOptions;
  modemOptions.registrationDelay = 0ms;
  sim::VirtualModem modem(modemOptions);
  if (!modem.start(&figures.error)) return figures;

  if (!options.traceLog.empty()) OpenDebugLog(options.traceLog.c_str());
  Observed observed;
  MxGsmHandle h = CreateGsmInstance();
  MxWindow window = MxCreateWindow(&WindowProcedure, &observed);
  if (!h || !window) {
    figures.error = "no instance";
    return figures;
  }
  for (const auto& e : kEvents) {
    if (!RegisterEventHandler(h, e.id, &observed) || !RegisterEventHandlerHwnd(h, e.id, window)) {
      figures.error = std::string("could not register for ") + e.name;
    }
  }
  const std::string spec = "GenericPhone@" + modem.devicePath();
  if (figures.error.empty() && Initialize(h, spec.c_str()) != 1) figures.error = "Initialize failed on " + spec;
  if (figures.error.empty()) {
    EnableClip(h, 1);
    for (int i = 1; i <= 5; ++i) {
      const std::string number = "+42060000000" + std::to_string(i);
      const std::string name = "Soak " + std::to_string(i);
      WritePhoneBookEntry(h, i, number.c_str(), name.c_str());
    }
  }
  if (!figures.error.empty()) {
    ReleaseGsm(h);
    MxDestroyWindow(window);
    return figures;
  }

  Application application(h, observed);
  Network network(modem, observed, figures);
  application.Start();
  const auto start = Clock::now();
  const auto end = start + options.duration;
  auto nextSample = start;
  bool warmedUp = false;
  auto sample = [&] {
    // The modem's own records of the traffic grow with it by design; they are
    // dropped before each sample so that only lasting growth is measured.
    modem.transcript().clear();
    modem.update([](sim::ModemContext& ctx) { ctx.centre.clearSent(); });
    figures.samples.push_back(TakeSample(start));
    if (!warmedUp && figures.samples.back().seconds >= static_cast<double>(options.warmUp.count())) {
      figures.warmUpIndex = figures.samples.size() - 1;
      warmedUp = true;
    }
    if (options.onSample) options.onSample(figures.samples.back());
  };
  while (Clock::now() < end) {
    if (Clock::now() >= nextSample) {
      sample();
      nextSample += options.sampleEvery;
    }
    network.Step();
    std::this_thread::sleep_for(250ms);
  }
  sample();
  if (!warmedUp) figures.warmUpIndex = figures.samples.size() - 1;
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();

  network.Settle();
  const auto drainEnd = Clock::now() + options.drain;
  while (observed.CountAwaited() > 0 && Clock::now() < drainEnd) {
    std::this_thread::sleep_for(250ms);
  }
  application.Stop();
  figures.partsSeen = observed.CountSeen();
  figures.missing = observed.Missing();
  observed.CopyTo(figures);
  application.CopyTo(figures);
  ReleaseGsm(h);
  MxDestroyWindow(window);
  modem.stop();
  if (!options.traceLog.empty()) CloseDebugLog();
  return figures;
}

}  // namespace fonexa::soak
