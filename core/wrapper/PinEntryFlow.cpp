// CMxGsmWrapper: the PIN entry flow and where its codes come from.
#include <cstdio>
#include <string>

#include "platform/CodePrompt.h"
#include "services/CMxGsmProtection.h"
#include "wrapper/CMxGsmWrapper.h"

namespace {

constexpr const char* kBlocked = "Sim card blocked.";
constexpr const char* kWrongPin =
    "The PIN you entered was incorrect. Try again or press Cancel to continue with GSM blocked.";
constexpr const char* kWrongPuk = "Incorrect PUK.";
constexpr const char* kPukLength = "PUK must have 8 characters.";
constexpr const char* kNewPinPrompt = "Enter new PIN for the SIM card.";
constexpr const char* kMismatch =
    "Entered PINs do not match. Please, try again or press Cancel to continue with GSM blocked.";
constexpr const char* kPinLength =
    "PIN code must have 4 to 8 characters. Please, try again or press Cancel to continue with GSM blocked.";

// "<message>\n\n<n> attempt(s) left for entering <code> code.", without its
// first character when that is a line feed (an empty message).
std::string WithAttempts(const std::string& message, int attempts, const char* codeName) {
  std::string text = message + "\n\n" + std::to_string(attempts) + " attempt(s) left for entering " + codeName + " code.";
  if (!text.empty() && text.front() == '\n') text.erase(0, 1);
  return text;
}

}  // namespace

int CMxGsmWrapper::SetCodeRetrievalFunc(CodeRetrievalFunc function) {
  if (!function) return 0;
  m_codeRetrievalFunc = function;
  return 1;
}

std::string CMxGsmWrapper::GetCode(const std::string& caption, const std::string& message) {
  if (m_codeRetrievalFunc) {
    // Copied at once: the application's text may live in a buffer it reuses.
    const char* code = m_codeRetrievalFunc(caption.c_str(), message.c_str());
    return code ? std::string(code) : std::string();
  }
  return fonexa::platform::PromptForCode(caption, message);
}

std::string CMxGsmWrapper::GetNewPin(const std::string& message) {
  // Asked again until the two entries agree and have a PIN's length, or the
  // user cancels; each round says what was wrong with the one before.
  std::string reason = message;
  for (;;) {
    const std::string first = GetCode("Enter new PIN", reason);
    if (first.empty()) return {};
    const std::string second = GetCode("Confirm new PIN", reason);
    if (second.empty()) return {};
    if (first != second) {
      reason = kMismatch;
    } else if (first.size() < 4 || first.size() > 8) {
      reason = kPinLength;
    } else {
      return first;
    }
  }
}

int CMxGsmWrapper::VerifySimPIN() {
  const bool locked = Attach("CMxGsmWrapper::VerifySimPIN", kExportLockMs) != 0;
  // Freshly initialised, the flow goes on without the lock: nobody else talks
  // to a phone that waits for its PIN.
  if (!locked && m_moduleState != kInitialized) return 0;
  const auto release = [&] {
    if (locked) Detach();
  };
  CMxGsmProtection protection(&m_session);
  const auto setState = [this](int state) { m_moduleState = state; };
  int status = protection.GetVerifyStatus();
  std::string message = status == CMxGsmProtection::kStatusSimPuk ? kBlocked : "";
  while (status == CMxGsmProtection::kStatusSimPin || status == CMxGsmProtection::kStatusSimPuk) {
    const bool puk = status == CMxGsmProtection::kStatusSimPuk;
    const int attempts = m_session.GetDevice() ? m_session.GetDevice()->GetPinCounter() : -1;
    const char* codeName = puk ? "PUK" : "PIN";
    const std::string caption = std::string("Enter ") + codeName + " code";
    if (attempts != -1) message = WithAttempts(message, attempts, codeName);
    const std::string code = GetCode(caption, message);
    if (code.empty()) {
      release();
      return 0;
    }
    if (!puk) {
      if (protection.StartVerify(setState, code, "")) {
        release();
        Raise(CMxGsmBasics::kEventRegistration, 2);
        return 1;
      }
      message = kWrongPin;
    } else if (code.size() == 8) {
      const std::string newPin = GetNewPin(kNewPinPrompt);
      if (newPin.empty()) {
        release();
        return 0;
      }
      if (protection.StartVerify(setState, code, newPin)) {
        release();
        Raise(CMxGsmBasics::kEventRegistration, 2);
        return 1;
      }
      message = kWrongPuk;
    } else {
      message = kPukLength;
    }
    status = protection.GetVerifyStatus();
  }
  release();
  return status == CMxGsmProtection::kStatusReady ? 1 : 0;
}
