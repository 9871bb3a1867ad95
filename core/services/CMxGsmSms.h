// CMxGsmSms: the short-message service over one modem session.
#pragma once

#include <string>

class CMxGsmBasics;

class CMxGsmSms {
 public:
  explicit CMxGsmSms(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmSms() = default;

  // Acknowledges a message the phone delivered straight to the terminal ("+CMT:").
  int SetMessageAknowledge(int n);

 private:
  CMxGsmBasics* m_session;
};
