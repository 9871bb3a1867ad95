// The last dispatched event's text and value, shared by the whole process and
// read back by applications that were notified through a window message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fonexa {

class LastEventRecord {
 public:
  // The text buffer, its terminating NUL included.
  static constexpr size_t kTextSize = 500;

  // Stores text (cut to 499 characters) and value.
  static void Store(const std::string& text, uint32_t value);
  // Copies the text with its NUL into text (when not null) and the value into
  // value (when not null); returns the bytes the text takes, NUL included.
  static int CopyOut(char* text, uint32_t* value);
  // The stored text's address, handed to windows with the event message; it
  // stays valid for the life of the process.
  static const char* TextAddress();
};

}  // namespace fonexa
