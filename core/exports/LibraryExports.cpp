// The exports that need no instance: version, debug log, last event, phone numbers.
#include <cstring>

#include "session/LastEventRecord.h"
#include "fonexa/FonexaCore.h"
#include "text/DebugLog.h"
#include "text/PhoneNumber.h"

namespace {
constexpr const char* kVersion = "1.3.040726";
}

extern "C" {

const char* GetFonexaCoreVersion(void) { return kVersion; }

int OpenDebugLog(const char* path) {
  if (!path) return 0;
  return fonexa::OpenDebugLogs(path);
}

int CloseDebugLog(void) { return fonexa::CloseDebugLogs(); }

int GetEventParams(char* text, uint32_t* value) { return fonexa::LastEventRecord::CopyOut(text, value); }

int CleanFormat(const char* number, char* out) {
  if (!number || !out) return 0;
  const std::string cleaned = fonexa::CleanPhoneNumber(number);
  std::memcpy(out, cleaned.c_str(), cleaned.size() + 1);
  return 1;
}

int CompareNumbers(const char* a, const char* b) {
  if (!a || !b) return 0;
  return fonexa::ComparePhoneNumbers(a, b) ? 1 : 0;
}

}  // extern "C"
