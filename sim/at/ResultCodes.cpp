#include "sim/at/ResultCodes.h"

#include <array>
#include <utility>

namespace fonexa::sim {

std::string_view finalResultText(FinalResult r) {
  switch (r) {
    case FinalResult::Ok: return "OK";
    case FinalResult::Connect: return "CONNECT";
    case FinalResult::Ring: return "RING";
    case FinalResult::NoCarrier: return "NO CARRIER";
    case FinalResult::Error: return "ERROR";
    case FinalResult::NoDialtone: return "NO DIALTONE";
    case FinalResult::Busy: return "BUSY";
    case FinalResult::NoAnswer: return "NO ANSWER";
  }
  return "ERROR";
}

std::string_view cmeErrorText(CmeError e) {
  static constexpr std::array<std::pair<CmeError, std::string_view>, 27> kTexts = {{
      {CmeError::PhoneFailure, "phone failure"},
      {CmeError::NoConnection, "no connection to phone"},
      {CmeError::LinkReserved, "phone-adaptor link reserved"},
      {CmeError::OperationNotAllowed, "operation not allowed"},
      {CmeError::OperationNotSupported, "operation not supported"},
      {CmeError::PhSimPinRequired, "PH-SIM PIN required"},
      {CmeError::SimNotInserted, "SIM not inserted"},
      {CmeError::SimPinRequired, "SIM PIN required"},
      {CmeError::SimPukRequired, "SIM PUK required"},
      {CmeError::SimFailure, "SIM failure"},
      {CmeError::SimBusy, "SIM busy"},
      {CmeError::SimWrong, "SIM wrong"},
      {CmeError::IncorrectPassword, "incorrect password"},
      {CmeError::SimPin2Required, "SIM PIN2 required"},
      {CmeError::SimPuk2Required, "SIM PUK2 required"},
      {CmeError::MemoryFull, "memory full"},
      {CmeError::InvalidIndex, "invalid index"},
      {CmeError::NotFound, "not found"},
      {CmeError::MemoryFailure, "memory failure"},
      {CmeError::TextTooLong, "text string too long"},
      {CmeError::InvalidTextCharacters, "invalid characters in text string"},
      {CmeError::DialStringTooLong, "dial string too long"},
      {CmeError::InvalidDialCharacters, "invalid characters in dial string"},
      {CmeError::NoNetworkService, "no network service"},
      {CmeError::NetworkTimeout, "network timeout"},
      {CmeError::NetworkNotAllowed, "network not allowed - emergency calls only"},
      {CmeError::Unknown, "unknown"},
  }};
  for (const auto& [code, text] : kTexts) {
    if (code == e) return text;
  }
  return "unknown";
}

std::string_view cmsErrorText(CmsError e) {
  static constexpr std::array<std::pair<CmsError, std::string_view>, 23> kTexts = {{
      {CmsError::MeFailure, "ME failure"},
      {CmsError::ServiceReserved, "SMS service of ME reserved"},
      {CmsError::OperationNotAllowed, "operation not allowed"},
      {CmsError::OperationNotSupported, "operation not supported"},
      {CmsError::InvalidPduParameter, "invalid PDU mode parameter"},
      {CmsError::InvalidTextParameter, "invalid text mode parameter"},
      {CmsError::SimNotInserted, "SIM not inserted"},
      {CmsError::SimPinRequired, "SIM PIN required"},
      {CmsError::PhSimPinRequired, "PH-SIM PIN required"},
      {CmsError::SimFailure, "SIM failure"},
      {CmsError::SimBusy, "SIM busy"},
      {CmsError::SimWrong, "SIM wrong"},
      {CmsError::SimPukRequired, "SIM PUK required"},
      {CmsError::SimPin2Required, "SIM PIN2 required"},
      {CmsError::SimPuk2Required, "SIM PUK2 required"},
      {CmsError::MemoryFailure, "memory failure"},
      {CmsError::InvalidMemoryIndex, "invalid memory index"},
      {CmsError::MemoryFull, "memory full"},
      {CmsError::SmscAddressUnknown, "SMSC address unknown"},
      {CmsError::NoNetworkService, "no network service"},
      {CmsError::NetworkTimeout, "network timeout"},
      {CmsError::NoAckExpected, "no +CNMA acknowledgement expected"},
      {CmsError::Unknown, "unknown error"},
  }};
  for (const auto& [code, text] : kTexts) {
    if (code == e) return text;
  }
  return "unknown error";
}

}  // namespace fonexa::sim
