#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace fonexa::cli {

namespace {

constexpr int kWidth = 30;

}  // namespace

Progress::Progress(std::string label, int total, std::FILE* terminal)
    : label_(std::move(label)), total_(total), terminal_(terminal), enabled_(isatty(fileno(terminal)) == 1) {
  if (!enabled_) return;
  draw();
  if (total_ <= 0) spinner_ = std::thread([this] { spin(); });
}

Progress::~Progress() {
  if (!enabled_) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  stop_.notify_all();
  if (spinner_.joinable()) spinner_.join();
  // Clear the line, so that what follows starts on a clean one.
  std::fprintf(terminal_, "\r\033[K");
  std::fflush(terminal_);
}

void Progress::advance(int done) {
  if (!enabled_) return;
  std::lock_guard<std::mutex> guard(lock_);
  done_ = done;
  draw();
}

void Progress::draw() {
  std::string bar(kWidth, ' ');
  std::string count;
  if (total_ > 0) {
    const int filled = std::min(kWidth, done_ * kWidth / total_);
    bar.replace(0, filled, filled, '#');
    count = " " + std::to_string(done_) + "/" + std::to_string(total_);
  } else {
    // A block that runs to and fro: something is happening, end unknown.
    const int span = kWidth - 4;
    const int position = frame_ % (2 * span);
    bar.replace(position < span ? position : 2 * span - position, 4, "====");
  }
  std::fprintf(terminal_, "\r%s [%s]%s\033[K", label_.c_str(), bar.c_str(), count.c_str());
  std::fflush(terminal_);
}

void Progress::spin() {
  std::unique_lock<std::mutex> guard(lock_);
  while (!stop_.wait_for(guard, std::chrono::milliseconds(100), [this] { return stopping_; })) {
    ++frame_;
    draw();
  }
}

}  // namespace fonexa::cli
