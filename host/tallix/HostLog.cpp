#include "HostLog.h"

#include <cstdarg>
#include <filesystem>
#include <system_error>

HostLog::~HostLog() {
  Close();
}

bool HostLog::Open(const std::string& path) {
  Close();
  const std::filesystem::path file(path);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  file_ = std::fopen(path.c_str(), "ab");
  return file_ != nullptr;
}

void HostLog::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void HostLog::Write(const char* format, ...) {
  if (file_ == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(file_, format, args);
  va_end(args);
  std::fflush(file_);
}
