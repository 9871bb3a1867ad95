// CMxGsmProtection: SIM security over one modem session.
#pragma once

#include <string>

class CMxGsmBasics;

class CMxGsmProtection {
 public:
  // Status codes of GetVerifyStatus.
  enum VerifyStatus {
    kStatusNotRead = -1,
    kStatusUnknown = 0,
    kStatusReady = 1,
    kStatusSimPin = 2,
    kStatusSimPuk = 3,
  };

  explicit CMxGsmProtection(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmProtection() = default;

  // Which code the phone waits for (1 ready, 2..17 a code, 0 not recognised),
  // or -1 when the status could not be read.
  int GetVerifyStatus();

  // The status code for the two words of a "+CPIN:" answer.
  static int VerifyStatusOf(const std::string& firstWord, const std::string& secondWord);

 private:
  CMxGsmBasics* m_session;
};
