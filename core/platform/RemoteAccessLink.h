// One dial-up link: a pppd process, the pipe its log arrives on, and the
// watcher thread that reads that log, follows the link's state and tells the
// notifier window about every step.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fonexa/FonexaCore.h"
#include "platform/ChildProcess.h"
#include "platform/RemoteAccessLog.h"
#include "platform/WorkerThread.h"

namespace fonexa::platform {

class RemoteAccessLink : public std::enable_shared_from_this<RemoteAccessLink> {
 public:
  // The message a notifier window receives for every state the link reaches:
  // wParam the state, lParam the error (pppd's exit code when it ended).
  static constexpr uint32_t kDialEventMessage = 0xCCCD;
  // The descriptor pppd writes its log to.
  static constexpr int kLogDescriptor = 3;
  // The longest log line kept; the rest of a longer one is dropped.
  static constexpr size_t kMaxLogLine = 1024;
  // The end error of a pppd that ended without a code of its own (collected
  // elsewhere); pppd's codes stop well below it.
  static constexpr uint32_t kNoExitCode = 255;

  struct Figures {
    uint32_t speed = 0;    // the line speed pppd was started with, bit/s
    uint32_t seconds = 0;  // since the link came up
    uint64_t sentBytes = 0;
    uint64_t receivedBytes = 0;
  };

  explicit RemoteAccessLink(MxWindow notifier) : notifier_(notifier) {}
  ~RemoteAccessLink();
  RemoteAccessLink(const RemoteAccessLink&) = delete;
  RemoteAccessLink& operator=(const RemoteAccessLink&) = delete;

  // Starts pppd with args and the watcher. optionsFile, when not empty, is
  // removed as soon as pppd has read its options. False when pppd could not be
  // started (the options file is removed then too).
  bool Start(const std::string& program, const std::vector<std::string>& args, const std::string& optionsFile);

  // Waits up to timeoutMs for the link to come up or end; true when it is up.
  bool WaitUntilConnectedOrEnded(uint32_t timeoutMs);

  ConnectionState State();
  // pppd's exit code (128 + signal when a signal ended it); 0 while it runs.
  uint32_t EndError();

  // Asks pppd to end (SIGTERM). From here on the notifier hears nothing more.
  void HangUp();
  // Ends pppd and whatever it started, at once (SIGKILL to its group).
  void EndForcibly();
  // True once a hang-up was asked for, pppd is gone and the watcher says no
  // more; the watcher itself counts as done while it asks.
  bool IsReleased();

  Figures GetFigures(const std::string& interfaceFolder);

 private:
  void Watch();
  // Splits what came through the pipe into lines.
  void TakeLog(const char* data, size_t size);
  void HandleLine(std::string_view line);
  void Advance(ConnectionState target);
  void Deliver(ConnectionState state, uint32_t error);
  void RemoveOptionsFile();  // with mutex_ held

  MxWindow notifier_;
  ChildProcess pppd_;
  int logFd_ = -1;
  std::string partialLine_;
  bool skippingLongLine_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::string optionsFile_;
  ConnectionState state_ = ConnectionState::OpenPort;
  bool ended_ = false;
  uint32_t endError_ = 0;
  bool hungUp_ = false;
  bool watcherDone_ = false;
  std::thread::id watcherId_;
  std::string interface_;
  uint32_t speed_ = 0;
  uint32_t connectedTick_ = 0;

  WorkerThread watcher_;
};

}  // namespace fonexa::platform
