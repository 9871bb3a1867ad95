// A soak run: an instance with every event registered, on a virtual modem in
// the same process, takes injected network traffic (calls, stored and
// delivered messages, long ones among them, registration and signal changes,
// status reports) while the application side signals, lists and deletes
// messages and reads the phone book in a loop. The process's resident set and
// thread count are sampled as it goes; at the end every injected message part
// must have been seen in an event or a listing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fonexa::soak {

struct Sample {
  double seconds = 0;  // since the instance came up
  long rssKiB = 0;
  long anonKiB = 0;  // the part of it not backed by files (heap, stacks)
  long heapKiB = 0;  // what the allocator has handed out and not had back
  int threads = 0;
};

struct Options {
  std::chrono::seconds duration{30};
  // Samples before this are the start-up's; growth is measured from the first
  // sample at or after it.
  std::chrono::seconds warmUp{5};
  std::chrono::milliseconds sampleEvery{2000};
  // How long after the traffic stops the run waits for the last messages to
  // turn up (a message handed over while the line was busy comes back as a
  // stored one once its acknowledgement time runs out).
  std::chrono::seconds drain{40};
  std::function<void(const Sample&)> onSample;  // called as each sample is taken
  std::string traceLog;  // when set, the engine's trace log goes here and its traffic log beside it
};

struct Figures {
  std::string error;  // set when the run could not start
  std::vector<Sample> samples;
  size_t warmUpIndex = 0;
  // Per event name ("ring", "new message", ...), as the handlers counted them.
  std::map<std::string, uint64_t> events;
  uint64_t windowMessages = 0;  // the same events as they reached the registered window
  // Per traffic kind injected ("stored message", "ring", ...).
  std::map<std::string, uint64_t> injected;
  // Per application operation: done and failed.
  std::map<std::string, uint64_t> operations;
  std::map<std::string, uint64_t> failures;
  uint64_t partsInjected = 0;
  uint64_t partsSeen = 0;
  std::vector<std::string> missing;  // tags of the parts never seen
  double seconds = 0;                // length of the traffic phase
};

// The figures that judge a run, from its samples.
struct Trend {
  long rssWarmUp = 0, rssEnd = 0, rssPeak = 0;
  int threadsWarmUp = 0, threadsEnd = 0, threadsPeak = 0;
  double slopeKiBPerMinute = 0;  // least squares over the samples from warm-up on
  long heapWarmUp = 0, heapEnd = 0;
  double heapSlopeKiBPerMinute = 0;
};

Figures Run(const Options& options);
Trend TrendOf(const std::vector<Sample>& samples, size_t from);
// Least-squares slope of RSS (or another field) over time, in KiB per minute;
// 0 for fewer than two samples.
double SlopeKiBPerMinute(const std::vector<Sample>& samples, size_t from, long Sample::*field = &Sample::rssKiB);

// The process's resident set (VmRSS, or another /proc/self/status field) in
// KiB, the allocator's bytes in use in KiB, and its thread count; -1 when unreadable.
long ResidentKiB(const char* field = "VmRSS:");
long HeapInUseKiB();
int ThreadCount();

// The tag a message part carries ("MSG12P2.") and the text of a part that
// fills it to the 153 characters of one 7-bit part; the tags found in a text.
std::string PartText(uint64_t message, int part, size_t length);
std::vector<std::string> TagsIn(const std::string& text);

}  // namespace fonexa::soak
