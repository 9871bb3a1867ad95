// Words for the current-call list's states and for the changes event 0x800
// reports: bits 16 and up the kind (1 a call appeared, 2 a call ended, 3 its
// state changed), bits 8-15 the old state (or the mode), bits 0-7 the new
// state (or, for an ended call, its direction).
#pragma once

#include <QString>
#include <cstdint>

// GSM 07.07 +CLCC <stat>.
enum class CallState { Active = 0, Held = 1, Dialling = 2, Alerting = 3, Incoming = 4, Waiting = 5 };

QString CallStateName(int state);

struct CallChange {
  enum Kind { Appeared = 1, Ended = 2, StateChanged = 3 };
  int kind = 0;
  int state = -1;  // the new state; -1 for an ended call
  QString number;
};

CallChange DecodeCallChange(const QString& number, uint32_t value);
// What the panel shows for a change: "Dialling +420...", "Call ended", ...
QString DescribeCallChange(const CallChange& change, const QString& name);
