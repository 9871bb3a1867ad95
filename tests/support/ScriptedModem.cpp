#include "ScriptedModem.h"

#include <time.h>

#include <chrono>

namespace fonexa::testing {

ScriptedModem::ScriptedModem() { thread_ = std::thread([this] { Run(); }); }

ScriptedModem::~ScriptedModem() {
  stop_ = true;
  thread_.join();
}

uint64_t ScriptedModem::NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

void ScriptedModem::On(const std::string& command, const std::string& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[command] = answer;
}

std::vector<std::string> ScriptedModem::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& e : exchanges_) out.push_back(e.command);
  return out;
}

std::vector<ScriptedModem::Exchange> ScriptedModem::Exchanges() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return exchanges_;
}

bool ScriptedModem::WaitForCommands(size_t count, uint32_t timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return exchanges_.size() >= count; });
}

void ScriptedModem::ClearCommands() {
  std::lock_guard<std::mutex> lock(mutex_);
  exchanges_.clear();
}

std::string ScriptedModem::AnswerFor(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = answers_.find(command);
  if (found != answers_.end()) return found->second;
  if (command == "ATE0") echo_ = false;
  if (command == "ATE1") echo_ = true;
  const bool at = command.size() >= 2 && (command[0] == 'A' || command[0] == 'a') && (command[1] == 'T' || command[1] == 't');
  return at ? "\r\nOK\r\n" : "\r\nERROR\r\n";
}

void ScriptedModem::Run() {
  std::string pending;
  while (!stop_) {
    const std::string bytes = peer_.ReadAvailable(20);
    if (bytes.empty() || silent_) continue;
    for (char c : bytes) {
      bool echo;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        echo = echo_;
      }
      if (echo) peer_.Write(std::string(1, c));
      if (c != '\r' && c != 0x1A) {
        pending.push_back(c);
        continue;
      }
      const uint64_t received = NowNs();
      const std::string command = pending;
      pending.clear();
      const std::string answer = AnswerFor(command);
      if (delayMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_.load()));
      // Recorded before the answer goes out, so that whoever reads the answer
      // finds the command in the record.
      size_t index;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        exchanges_.push_back({command, received, 0});
        index = exchanges_.size() - 1;
      }
      changed_.notify_all();
      peer_.Write(answer);
      const uint64_t answered = NowNs();
      std::lock_guard<std::mutex> lock(mutex_);
      if (index < exchanges_.size()) exchanges_[index].answeredNs = answered;
    }
  }
}

}  // namespace fonexa::testing
