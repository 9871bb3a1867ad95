// One enumerable kind of the exported interface: a list loaded under the lock
// by a service, and a cursor the reader walks without touching the phone.
// There is one per kind for the whole process; a new load replaces the old.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace fonexa {

template <class Entry>
class Enumeration {
 public:
  // After a service filled entries: the count, or -1 (and no list) on failure.
  int Load(bool succeeded, std::vector<Entry> entries) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!succeeded) {
      entries_.clear();
      cursor_ = -1;
      return -1;
    }
    entries_ = std::move(entries);
    cursor_ = 0;
    return static_cast<int>(entries_.size());
  }

  // Hands the next entry to convert and advances: true, or false at the end of
  // the list (which ends the list) or when there is none.
  template <class Convert>
  bool Next(Convert&& convert) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cursor_ == -1) return false;
    if (cursor_ >= static_cast<int>(entries_.size())) {
      cursor_ = -1;
      return false;
    }
    convert(entries_[static_cast<size_t>(cursor_++)]);
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<Entry> entries_;
  int cursor_ = -1;
};

}  // namespace fonexa
