#include "text/DebugLog.h"

#include <cstdarg>
#include <cstdio>

namespace fonexa {

int DebugLog::Open(const std::string& path) { return file_.Create(path) ? 1 : 0; }

int DebugLog::Write(const char* format, ...) {
  if (!format || !file_.IsOpen()) return 0;
  char line[kMaxLineLength + 1];
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (wanted < 0) return 0;
  // A longer line keeps its first 1023 characters; the rest is dropped.
  const int length = wanted > kMaxLineLength ? kMaxLineLength : wanted;
  file_.Write(line, static_cast<size_t>(length));
  return 1;
}

int DebugLog::Close() { return file_.Close() ? 1 : 0; }

DebugLog& TraceLog() {
  static DebugLog log;
  return log;
}

DebugLog& TrafficLog() {
  static DebugLog log;
  return log;
}

int OpenDebugLogs(const std::string& tracePath) {
  const auto slash = tracePath.rfind('/');
  const std::string trafficPath = slash == std::string::npos ? "com.txt" : tracePath.substr(0, slash) + "/com.txt";
  TrafficLog().Open(trafficPath);
  return TraceLog().Open(tracePath);
}

int CloseDebugLogs() {
  TrafficLog().Close();
  return TraceLog().Close();
}

}  // namespace fonexa
