// The SDK's tests drive the virtual modem in this process and reach it only
// through the Fonexa library, as an application would.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/VirtualModem.h"

namespace fonexa::sdktest {

struct Event {
  uint32_t id;
  std::string text;
  uint32_t value;
  bool operator==(const Event&) const = default;
};

// Events as handlers receive them on the engine's threads; tests wait for them.
class EventLog {
 public:
  void Add(uint32_t id, std::string text, uint32_t value) {
    std::lock_guard<std::mutex> guard(lock_);
    events_.push_back(Event{id, std::move(text), value});
    changed_.notify_all();
  }
  // True once count events have arrived.
  bool WaitFor(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, limit, [&] { return events_.size() >= count; });
  }
  std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(lock_);
    return events_;
  }
  size_t Count() {
    std::lock_guard<std::mutex> guard(lock_);
    return events_.size();
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

class VirtualPhoneTest : public ::testing::Test {
 protected:
  void StartModem(sim::ModemOptions options = {}) {
    options.registrationDelay = std::chrono::milliseconds(0);
    modem = std::make_unique<sim::VirtualModem>(std::move(options));
    std::string error;
    ASSERT_TRUE(modem->start(&error)) << error;
    modem->update([](sim::ModemContext& ctx) { ctx.networkScanTime = std::chrono::milliseconds(0); });
  }
  std::string Spec(const std::string& plugin = "GenericPhone") const { return plugin + "@" + modem->devicePath(); }
  // Puts an entry into one of the phone's books, as if the user had stored it.
  void StoreEntry(const std::string& book, int index, const std::string& number, const std::string& name,
                  std::optional<sim::SmsTimestamp> time = std::nullopt) {
    modem->update([&](sim::ModemContext& ctx) {
      ctx.phoneBooks.find(book)->entries[index] = sim::PhoneBookEntry{number, number[0] == '+' ? 145 : 129, name, time};
    });
  }
  // Every text the phone was given to send, parts joined.
  std::string SentText() {
    std::string text;
    for (const auto& message : modem->sentMessages()) text += message.text;
    return text;
  }

  std::unique_ptr<sim::VirtualModem> modem;
};

}  // namespace fonexa::sdktest
