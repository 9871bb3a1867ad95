#include "exports/FlatRecords.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

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

static_assert(offsetof(MxSmsUtf8Record, phoneNumber) == 80);
static_assert(offsetof(MxSmsUtf8Record, messageText) == 176);
static_assert(sizeof(MxSmsUtf8Record) == 816);
static_assert(offsetof(MxJoinedSmsRecord, partIndices) == 44);
static_assert(offsetof(MxJoinedSmsRecord, phoneNumber) == 1068);
static_assert(sizeof(MxJoinedSmsRecord) == 9356);

namespace fonexa {

namespace {

// Year to second of a time stamp in local calendar time; all 0 when unset.
void StoreTime(int64_t time, int32_t* fields) {
  if (time == 0) return;
  const platform::SystemTime t = platform::LocalTimeOf(time);
  const int32_t values[] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
  std::memcpy(fields, values, sizeof values);
}

// Copies UTF-8 text cut to the field, never between the bytes of one
// character.
template <size_t N>
void CopyUtf8(const std::string& text, char (&field)[N]) {
  size_t length = std::min(text.size(), N - 1);
  if (length < text.size()) {
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace

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
  StoreTime(entry.Time, &record.year);
  CopyText(entry.PhoneNumber, record.phoneNumber);
  CopyText(entry.MessageText, record.messageText);
  CopyText(entry.ProviderPhone, record.providerNumber);
  record.reserved = entry.Validity;
}

void ToRecord(const SmsEntry& entry, MxSmsUtf8Record& record) {
  std::memset(&record, 0, sizeof record);
  record.index = entry.Index;
  record.status = entry.State;
  record.kind = entry.MessageKind;
  StoreTime(entry.Time, &record.year);
  record.partReference = entry.PartReference;
  record.partCount = entry.PartCount;
  record.partNumber = entry.PartNumber;
  record.reportReference = entry.ReportReference;
  record.reportStatus = entry.ReportStatus;
  StoreTime(entry.DischargeTime, &record.dischargeYear);
  CopyUtf8(entry.PhoneNumberUtf8, record.phoneNumber);
  CopyUtf8(entry.ProviderPhone, record.providerNumber);
  CopyUtf8(entry.TextUtf8, record.messageText);
}

void ToRecord(const JoinedMessage& message, MxJoinedSmsRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.status = message.State;
  record.kind = message.MessageKind;
  StoreTime(message.Time, &record.year);
  record.partReference = message.PartReference;
  record.partCount = message.PartCount;
  record.missingParts = message.MissingParts;
  std::fill(std::begin(record.partIndices), std::end(record.partIndices), -1);
  const size_t parts = std::min(message.PartIndices.size(), std::size(record.partIndices));
  std::copy_n(message.PartIndices.begin(), parts, record.partIndices);
  record.textLength = static_cast<int32_t>(message.TextUtf8.size());
  CopyUtf8(message.PhoneNumber, record.phoneNumber);
  CopyUtf8(message.ProviderPhone, record.providerNumber);
  CopyUtf8(message.TextUtf8, record.messageText);
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
