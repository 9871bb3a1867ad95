// monitor: the phone's events as they arrive, until interrupted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>

#include "CommandError.h"
#include "Commands.h"
#include "EventDescriptions.h"
#include "StopRequest.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

struct MonitorOptions {
  std::vector<std::string> events;
  int count = 0;    // 0: no limit
  int seconds = 0;  // 0: no limit
};

void monitor(CommandContext& context, const MonitorOptions& options) {
  std::vector<uint32_t> ids;
  for (const std::string& name : options.events) {
    const auto id = eventId(name);
    if (!id) {
      std::string known;
      for (const EventKind& kind : kEventKinds) known += (known.empty() ? "" : ", ") + std::string(kind.name);
      badUsage("there is no event \"" + name + "\" (the events: " + known + ")");
    }
    ids.push_back(*id);
  }
  if (ids.empty()) {
    // Every event but the raw unsolicited lines, which repeat the others.
    for (const EventKind& kind : kEventKinds) {
      if (kind.id != FONEXA_EVENT_RAW) ids.push_back(kind.id);
    }
  }
  context.connect();

  // Handlers run on the engine's threads until the phone is released after
  // this function, so what they use is shared with them, not borrowed.
  struct Printer {
    std::mutex lock;
    int printed = 0;
    bool closed = false;
  };
  auto printer = std::make_shared<Printer>();
  const int limit = options.count;
  Output* out = &context.out();
  auto print = [printer, limit, out](uint32_t id, const std::string& text, uint32_t value) {
    {
      std::lock_guard<std::mutex> guard(printer->lock);
      // Events that race the end of the run are not printed.
      if (printer->closed || (limit > 0 && printer->printed >= limit)) return;
      const DescribedEvent event = describeEvent(id, text, value);
      out->streamed(event.text, event.object);
      ++printer->printed;
    }
    StopRequest::wake();
  };
  for (const uint32_t id : ids) Events::Register(id, print);
  // Registration changes and callers' numbers are only reported when asked
  // for; asked once the handlers are in place, so that none is missed.
  Events::EnableNetworkEvents(1);
  Events::EnableClip(1);
  if (!context.json()) std::fprintf(stderr, "fonexa: watching events; Ctrl-C stops\n");

  const auto duration = options.seconds > 0 ? std::chrono::milliseconds(std::chrono::seconds(options.seconds))
                                            : std::chrono::milliseconds(std::chrono::hours(24 * 365));
  StopRequest::waitUntil(
      [&printer, limit] {
        std::lock_guard<std::mutex> guard(printer->lock);
        return limit > 0 && printer->printed >= limit;
      },
      duration);
  std::lock_guard<std::mutex> guard(printer->lock);
  printer->closed = true;
}

}  // namespace

void addMonitorCommand(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<MonitorOptions>();
  CLI::App* command = app.add_subcommand(
      "monitor", "Print the phone's events as they arrive (one JSON object per line with --json) until Ctrl-C");
  command->add_option("--events", options->events,
                      "only these events, by name (signal, new_message, joined_message, delivery_report, ring, caller_id, ...)")
      ->delimiter(',');
  command->add_option("--count", options->count, "stop after this many events")->check(CLI::PositiveNumber);
  command->add_option("--for", options->seconds, "stop after this many seconds")->check(CLI::PositiveNumber);
  command->callback([&context, options] {
    context.endsOnStop();
    monitor(context, *options);
  });
}

}  // namespace fonexa::cli
