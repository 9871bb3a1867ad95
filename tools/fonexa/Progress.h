#pragma once
// A progress bar on standard error for operations that take a while: a
// whole phone book, a long listing, a multi-part send. Drawn only when
// standard error is a terminal; on a pipe or a file it prints nothing, so
// logs and scripts see only the command's own output.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace fonexa::cli {

class Progress {
 public:
  // total 0: the end is not known, and the bar shows activity while the
  // operation runs; otherwise advance() reports how far it is.
  Progress(std::string label, int total, std::FILE* terminal = stderr);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void advance(int done);
  bool shown() const { return enabled_; }

 private:
  void draw();
  void spin();

  std::string label_;
  int total_;
  std::FILE* terminal_;
  bool enabled_;
  int done_ = 0;
  int frame_ = 0;
  std::mutex lock_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread spinner_;
};

}  // namespace fonexa::cli
