// The trace log and the traffic log.
//
// Both are closed until the application opens them, and while closed a write
// returns at once, before any formatting, so that logging costs nothing unless
// it was asked for. An open log gets each formatted line with one unbuffered
// write, so that the last line before a crash is on disk.
#pragma once

#include <string>

#include "platform/LogFile.h"

namespace fonexa {

class DebugLog {
 public:
  // Longest formatted line, in characters; longer lines are cut to it.
  static constexpr int kMaxLineLength = 1023;

  // 1 when this call opened the file; 0 when it was open already or could not
  // be created.
  int Open(const std::string& path);
  // Formats with printf rules and writes the characters (no terminator, no line
  // end added). 0 when the log is closed or format is null, else 1.
  int Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // 1 when an open file was closed.
  int Close();
  bool IsOpen() const { return file_.IsOpen(); }

  // Sets the open file aside, leaving the log closed; returns a token for PutBack.
  int SetAside() { return file_.Release(); }
  // Closes whatever the log has open and restores what SetAside returned.
  void PutBack(int token) { file_.Adopt(token); }

 private:
  platform::LogFile file_;
};

DebugLog& TraceLog();
DebugLog& TrafficLog();

// Opens the traffic log "com.txt" beside tracePath, then the trace log at
// tracePath; returns the trace log's result.
int OpenDebugLogs(const std::string& tracePath);
// Closes the traffic log, then the trace log; returns the trace log's result.
int CloseDebugLogs();

}  // namespace fonexa
