// Service records turned into the flat records of the exported interface.
#pragma once

#include "fonexa/FonexaCore.h"
#include "codec/CallEntry.h"
#include "codec/MessageJoining.h"
#include "codec/OperatorEntry.h"
#include "codec/PhoneBookEntry.h"
#include "codec/SmsEntry.h"

namespace fonexa {

void ToRecord(const CallEntry& entry, MxCallRecord& record);
void ToRecord(const SmsEntry& entry, MxSmsRecord& record);
void ToRecord(const SmsEntry& entry, MxSmsUtf8Record& record);
void ToRecord(const JoinedMessage& message, MxJoinedSmsRecord& record);
void ToRecord(const PhoneBookEntry& entry, MxPhoneBookRecord& record);
void ToRecord(const OperatorEntry& entry, MxOperatorRecord& record);

}  // namespace fonexa
