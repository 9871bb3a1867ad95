#pragma once
// Final result codes (V.250 and GSM 07.07) and the error codes of
// +CME ERROR (GSM 07.07 section 9.2) and +CMS ERROR (GSM 07.05 section 3.2.5).
#include <string_view>

namespace fonexa::sim {

// Values are the V0 numeric codes.
enum class FinalResult {
  Ok = 0,
  Connect = 1,
  Ring = 2,
  NoCarrier = 3,
  Error = 4,
  NoDialtone = 6,
  Busy = 7,
  NoAnswer = 8,
};

enum class CmeError {
  PhoneFailure = 0,
  NoConnection = 1,
  LinkReserved = 2,
  OperationNotAllowed = 3,
  OperationNotSupported = 4,
  PhSimPinRequired = 5,
  SimNotInserted = 10,
  SimPinRequired = 11,
  SimPukRequired = 12,
  SimFailure = 13,
  SimBusy = 14,
  SimWrong = 15,
  IncorrectPassword = 16,
  SimPin2Required = 17,
  SimPuk2Required = 18,
  MemoryFull = 20,
  InvalidIndex = 21,
  NotFound = 22,
  MemoryFailure = 23,
  TextTooLong = 24,
  InvalidTextCharacters = 25,
  DialStringTooLong = 26,
  InvalidDialCharacters = 27,
  NoNetworkService = 30,
  NetworkTimeout = 31,
  NetworkNotAllowed = 32,
  Unknown = 100,
};

enum class CmsError {
  MeFailure = 300,
  ServiceReserved = 301,
  OperationNotAllowed = 302,
  OperationNotSupported = 303,
  InvalidPduParameter = 304,
  InvalidTextParameter = 305,
  SimNotInserted = 310,
  SimPinRequired = 311,
  PhSimPinRequired = 312,
  SimFailure = 313,
  SimBusy = 314,
  SimWrong = 315,
  SimPukRequired = 316,
  SimPin2Required = 317,
  SimPuk2Required = 318,
  MemoryFailure = 320,
  InvalidMemoryIndex = 321,
  MemoryFull = 322,
  SmscAddressUnknown = 330,
  NoNetworkService = 331,
  NetworkTimeout = 332,
  NoAckExpected = 340,
  Unknown = 500,
};

std::string_view finalResultText(FinalResult r);
std::string_view cmeErrorText(CmeError e);
std::string_view cmsErrorText(CmsError e);

// The outcome of one command: a final result or an extended error.
struct Outcome {
  enum class Kind { Result, Cme, Cms };
  Kind kind = Kind::Result;
  FinalResult result = FinalResult::Ok;
  int code = 0;

  static constexpr Outcome ok() { return {}; }
  static constexpr Outcome error() { return {Kind::Result, FinalResult::Error, 0}; }
  static constexpr Outcome final(FinalResult r) { return {Kind::Result, r, 0}; }
  static constexpr Outcome cme(CmeError e) { return {Kind::Cme, FinalResult::Error, static_cast<int>(e)}; }
  static constexpr Outcome cms(CmsError e) { return {Kind::Cms, FinalResult::Error, static_cast<int>(e)}; }
  constexpr bool isOk() const { return kind == Kind::Result && result == FinalResult::Ok; }
};

}  // namespace fonexa::sim
