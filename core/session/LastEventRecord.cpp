#include "session/LastEventRecord.h"

#include <cstring>
#include <mutex>

namespace fonexa {

namespace {

struct Record {
  std::mutex mutex;
  char text[LastEventRecord::kTextSize] = {};
  uint32_t value = 0;
};

Record& TheRecord() {
  static Record record;
  return record;
}

}  // namespace

void LastEventRecord::Store(const std::string& text, uint32_t value) {
  Record& record = TheRecord();
  std::lock_guard<std::mutex> lock(record.mutex);
  // A long message text in a new-message event keeps its first 499 characters.
  const size_t length = text.size() < kTextSize - 1 ? text.size() : kTextSize - 1;
  std::memcpy(record.text, text.data(), length);
  record.text[length] = '\0';
  record.value = value;
}

int LastEventRecord::CopyOut(char* text, uint32_t* value) {
  Record& record = TheRecord();
  std::lock_guard<std::mutex> lock(record.mutex);
  const size_t bytes = std::strlen(record.text) + 1;
  if (text) std::memcpy(text, record.text, bytes);
  if (value) *value = record.value;
  return static_cast<int>(bytes);
}

const char* LastEventRecord::TextAddress() { return TheRecord().text; }

}  // namespace fonexa
