// The common dialogue of the telephony services (calls, supplementary
// services, SIM security): a command answered by its final result, with the
// session opened for the operation or required open, the final result traced
// as "Response", and the exits these services name.
#pragma once

#include <string>

#include "session/ServiceDialogue.h"

namespace fonexa {

// The session opened for the operation; notOpened is the reason traced when
// it cannot be ("ERROR:Can't open the port." and the like).
inline DialogueRow OpenedRow(const char* scope, std::string command, const char* notOpened) {
  DialogueRow row;
  row.scope = scope;
  row.command = std::move(command);
  row.discipline = Discipline::OpenedForOperation;
  row.notOpened = notOpened;
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response";
  return row;
}

// The session must be open already ("ERROR:Port wasn't opened before.").
inline DialogueRow NeedsOpenRow(const char* scope, std::string command) {
  DialogueRow row = OpenedRow(scope, std::move(command), "ERROR:Port wasn't opened before.");
  row.discipline = Discipline::NeedsOpenSession;
  return row;
}

// Leaves before anything is sent, tracing reason as the exit line: a caller
// text the command cannot carry, a parameter out of range.
inline int RefuseBeforeSending(ServiceDialogue& dialogue, const DialogueRow& row, const std::string& reason) {
  DialogueRow scopeOnly;
  scopeOnly.scope = row.scope;
  scopeOnly.discipline = Discipline::Unchecked;
  dialogue.Enter(scopeOnly);
  return dialogue.Leave(reason, row.failed);
}

}  // namespace fonexa
