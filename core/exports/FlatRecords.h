// Service records turned into the flat records of the exported interface.
#pragma once

#include "fonexa/FonexaCore.h"
#include "services/OperatorEntry.h"
#include "services/PhoneBookEntry.h"
#include "services/SmsEntry.h"

namespace fonexa {

void ToRecord(const SmsEntry& entry, MxSmsRecord& record);
void ToRecord(const PhoneBookEntry& entry, MxPhoneBookRecord& record);
void ToRecord(const OperatorEntry& entry, MxOperatorRecord& record);

}  // namespace fonexa
