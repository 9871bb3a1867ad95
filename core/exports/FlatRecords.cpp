#include "exports/FlatRecords.h"

#include <cstddef>
#include <cstring>

#include "exports/ExportFrame.h"
#include "platform/LocalTime.h"

// The records' layout is part of the interface: applications in any language
// read them by offset.
static_assert(sizeof(MxCallRecord) == 76);
static_assert(offsetof(MxCallRecord, phoneNumber) == 20);
static_assert(offsetof(MxCallRecord, typeOfNumber) == 40);
static_assert(offsetof(MxCallRecord, name) == 44);
static_assert(sizeof(MxSmsRecord) == 236);
static_assert(offsetof(MxSmsRecord, second) == 28);
static_assert(offsetof(MxSmsRecord, phoneNumber) == 32);
static_assert(offsetof(MxSmsRecord, messageText) == 52);
static_assert(offsetof(MxSmsRecord, providerNumber) == 212);
static_assert(offsetof(MxSmsRecord, reserved) == 232);
static_assert(sizeof(MxPhoneBookRecord) == 100);
static_assert(offsetof(MxPhoneBookRecord, phoneNumber) == 4);
static_assert(offsetof(MxPhoneBookRecord, typeOfNumber) == 24);
static_assert(offsetof(MxPhoneBookRecord, name) == 28);
static_assert(offsetof(MxPhoneBookRecord, year) == 80);
static_assert(offsetof(MxPhoneBookRecord, minute) == 96);
static_assert(sizeof(MxOperatorRecord) == 64);
static_assert(offsetof(MxOperatorRecord, codeNumber) == 52);
static_assert(offsetof(MxOperatorRecord, mode) == 56);
static_assert(offsetof(MxOperatorRecord, state) == 60);

namespace fonexa {

void ToRecord(const CallEntry& entry, MxCallRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.index = entry.Index;
  record.direction = entry.Direction;
  record.state = entry.State;
  record.mode = entry.Mode;
  record.multiparty = entry.Multiparty;
  CopyText(entry.PhoneNumber, record.phoneNumber);
  record.typeOfNumber = entry.Type;
  CopyText(entry.Name, record.name);
}

void ToRecord(const SmsEntry& entry, MxSmsRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.index = entry.Index;
  record.status = entry.State;
  if (entry.Time != 0) {
    const platform::SystemTime t = platform::LocalTimeOf(entry.Time);
    record.year = t.year;
    record.month = t.month;
    record.day = t.day;
    record.hour = t.hour;
    record.minute = t.minute;
    record.second = t.second;
  }
  CopyText(entry.PhoneNumber, record.phoneNumber);
  CopyText(entry.MessageText, record.messageText);
  CopyText(entry.ProviderPhone, record.providerNumber);
  record.reserved = entry.Validity;
}

void ToRecord(const PhoneBookEntry& entry, MxPhoneBookRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.index = entry.Position;
  CopyText(entry.PhoneNumber, record.phoneNumber);
  record.typeOfNumber = entry.Type;
  CopyText(entry.Name, record.name);
  record.year = entry.Time.year;
  record.month = entry.Time.month;
  record.day = entry.Time.day;
  record.hour = entry.Time.hour;
  record.minute = entry.Time.minute;
}

void ToRecord(const OperatorEntry& entry, MxOperatorRecord& record) {
  std::memset(&record, 0, sizeof record);
  CopyText(entry.Name, record.name);
  record.codeNumber = entry.CodeNumber;
  record.mode = entry.Mode;
  record.state = entry.State;
}

}  // namespace fonexa
