// CMxGsmNetwork: the network service over one modem session: signal quality,
// the operators the phone knows and sees, operator selection, and the
// registration result code and status.
#pragma once

#include <vector>

#include "codec/OperatorEntry.h"

class CMxGsmBasics;

class CMxGsmNetwork {
 public:
  explicit CMxGsmNetwork(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmNetwork() = default;

  // Every operation opens the session for its dialogue and closes it again,
  // and returns 1 when the phone ended it with OK, else 0. Outputs set before
  // a failure keep what was read.

  // +CSQ: rssi 0..31 (99 not known), ber 0..7 (99 not known); both -1 unless read.
  int GetSignalQuality(int& rssi, int& ber);
  // +COPN: every operator name the phone carries. A complete listing is
  // followed by a module reset (ATZ). At most 2000 operators in at most 203 s.
  int GetWorldWideOperatorEntries(std::vector<fonexa::OperatorEntry>& list);
  // +COPS=?: the networks in reach, with their availability in State; an
  // answer with more than 64 is refused after the first 64.
  int GetLocalOperatorEntries(std::vector<fonexa::OperatorEntry>& list);
  // +COPS?: Mode, and Name or CodeNumber; entry's other fields stay as passed.
  int GetCurrentOperator(fonexa::OperatorEntry& entry);
  // +COPS=0.
  int SetAutomaticOperator();
  // +COPS=1,2,<code>; a code of 0 or below is refused without a word to the phone.
  int SetManualOperator(int code);
  // +CREG=1 (any non-zero enable) or +CREG=0.
  int EnableNetworkEvents(int enable);
  // +CREG?: the result-code setting n and the registration stat.
  int GetRegistrationStatus(int& n, int& stat);

 private:
  CMxGsmBasics* m_session;
};
