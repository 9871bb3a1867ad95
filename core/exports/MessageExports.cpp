// Short messages: the Latin-1 family, and beside it texts in UTF-8, long
// messages joined and delivery reports.
#include <algorithm>

#include "codec/CMxGsmCoding.h"
#include "codec/DeliveryReports.h"
#include "codec/MessageJoining.h"
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmSms.h"

using fonexa::CopyText;
using fonexa::JoinedMessage;
using fonexa::SmsEntry;
using fonexa::Store;
using fonexa::WithService;

static_assert(FONEXA_EVENT_JOINED_MESSAGE == fonexa::kEventJoinedMessage);
static_assert(FONEXA_EVENT_DELIVERY_REPORT == fonexa::kEventDeliveryReport);
static_assert(FONEXA_DELIVERY_UNKNOWN == static_cast<int>(fonexa::DeliveryOutcome::Unknown));
static_assert(FONEXA_DELIVERY_WAITING == static_cast<int>(fonexa::DeliveryOutcome::Waiting));
static_assert(FONEXA_DELIVERY_DELIVERED == static_cast<int>(fonexa::DeliveryOutcome::Delivered));
static_assert(FONEXA_DELIVERY_PENDING == static_cast<int>(fonexa::DeliveryOutcome::Pending));
static_assert(FONEXA_DELIVERY_FAILED == static_cast<int>(fonexa::DeliveryOutcome::Failed));

namespace {

fonexa::Enumeration<SmsEntry>& SmsList() {
  static fonexa::Enumeration<SmsEntry> list;
  return list;
}

// The same load, read in UTF-8 with a cursor of its own.
fonexa::Enumeration<SmsEntry>& SmsUtf8List() {
  static fonexa::Enumeration<SmsEntry> list;
  return list;
}

// ReadSmsEntry into either record.
template <class Record>
int ReadOneEntry(MxGsmHandle h, int index, Record* record) {
  SmsEntry entry;
  const auto result =
      WithService<CMxGsmSms>(h, "ReadSmsEntry", [&](CMxGsmSms& sms) { return sms.ReadSmsEntry(index, entry); });
  if (!result || !*result) return 0;
  // A location the phone answered without a message leaves the record as it was.
  if (record && entry.Index != -1) fonexa::ToRecord(entry, *record);
  return *result;
}

fonexa::Enumeration<JoinedMessage>& JoinedList() {
  static fonexa::Enumeration<JoinedMessage> list;
  return list;
}

}  // namespace

extern "C" {

int GetSmsStorage(MxGsmHandle h, int* storage, int* used, int* total) {
  int s = 0, u = 0, t = 0;
  const auto result =
      WithService<CMxGsmSms>(h, "GetSmsStorage", [&](CMxGsmSms& sms) { return sms.GetSmsStorage(s, u, t); });
  if (!result) return 0;
  Store(storage, s);
  Store(used, u);
  Store(total, t);
  return *result;
}

int SetSmsStorage(MxGsmHandle h, int storage) {
  return WithService<CMxGsmSms>(h, "SetSmsStorage", [&](CMxGsmSms& sms) { return sms.SetSmsStorage(storage); })
      .value_or(0);
}

int GetServiceCenter(MxGsmHandle h, char* number, int* type) {
  std::string text;
  int kind = 0;
  const auto result =
      WithService<CMxGsmSms>(h, "GetServiceCenter", [&](CMxGsmSms& sms) { return sms.GetServiceCenter(text, kind); });
  if (!result) return 0;
  CopyText(text, number, FONEXA_SERVICE_CENTER_SIZE);
  Store(type, kind);
  return *result;
}

int SetServiceCenter(MxGsmHandle h, const char* number) {
  if (!number) return 0;
  return WithService<CMxGsmSms>(h, "SetServiceCenter", [&](CMxGsmSms& sms) { return sms.SetServiceCenter(number); })
      .value_or(0);
}

int SendSms(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithService<CMxGsmSms>(h, "SendSms", [&](CMxGsmSms& sms) { return sms.SendTextMessage(phone, text); })
      .value_or(0);
}

int SendFlashSms(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithService<CMxGsmSms>(h, "SendFlashSms", [&](CMxGsmSms& sms) { return sms.SendFlashMessage(phone, text); })
      .value_or(0);
}

int LoadSmsEntries(MxGsmHandle h, int status) {
  std::vector<SmsEntry> entries;
  const auto result =
      WithService<CMxGsmSms>(h, "_ReadSmsEntries", [&](CMxGsmSms& sms) { return sms.ReadSmsEntries(status, entries); });
  const bool loaded = result.value_or(0) != 0;
  SmsUtf8List().Load(loaded, entries);
  return SmsList().Load(loaded, std::move(entries));
}

int GetNextSmsEntry(MxSmsRecord* record) {
  if (!record) return 0;
  return SmsList().Next([&](const SmsEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int ReadSmsEntry(MxGsmHandle h, int index, MxSmsRecord* record) { return ReadOneEntry(h, index, record); }

int WriteSmsEntry(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithService<CMxGsmSms>(h, "WriteSmsEntry", [&](CMxGsmSms& sms) { return sms.WriteSmsEntry(phone, text); })
      .value_or(0);
}

int DeleteSmsEntry(MxGsmHandle h, int index) {
  return WithService<CMxGsmSms>(h, "DeleteSmsEntry", [&](CMxGsmSms& sms) { return sms.DeleteMessage(index); })
      .value_or(0);
}

// ---- UTF-8, joined messages, delivery reports -----------------------------------

int SendSmsUtf8Ex(MxGsmHandle h, const char* phone, const char* text, int flags, int* partCount, int* references,
                  int capacity) {
  if (!phone || !text) return 0;
  const bool flash = (flags & FONEXA_SMS_FLASH) != 0;
  const bool report = (flags & FONEXA_SMS_STATUS_REPORT) != 0;
  std::vector<int> sent;
  int messageId = 0;
  const auto result = WithService<CMxGsmSms>(h, "SendSmsUtf8", [&](CMxGsmSms& sms) {
    return sms.SendUtf8Message(phone, text, flash, report, sent, messageId);
  });
  if (!result) return 0;
  Store(partCount, static_cast<int>(sent.size()));
  if (references) std::copy_n(sent.begin(), std::min(static_cast<size_t>(std::max(capacity, 0)), sent.size()), references);
  return *result ? messageId : 0;
}

int SendSmsUtf8(MxGsmHandle h, const char* phone, const char* text) {
  return SendSmsUtf8Ex(h, phone, text, 0, nullptr, nullptr, 0) > 0 ? 1 : 0;
}

int SendFlashSmsUtf8(MxGsmHandle h, const char* phone, const char* text) {
  return SendSmsUtf8Ex(h, phone, text, FONEXA_SMS_FLASH, nullptr, nullptr, 0) > 0 ? 1 : 0;
}

int CountSmsPartsUtf8(const char* text, int* alphabet) {
  if (!text) return 0;
  int chosen = 0;
  const size_t parts = fonexa::CMxGsmCoding::SplitUtf8Text(text, chosen).size();
  // The concatenation header counts the parts in one octet.
  if (parts == 0 || parts > 255) return 0;
  Store(alphabet, chosen);
  return static_cast<int>(parts);
}

int GetDeliveryStatus(int messageId) {
  return static_cast<int>(fonexa::DeliveryTracker::Process().Outcome(messageId));
}

int GetNextSmsEntryUtf8(MxSmsUtf8Record* record) {
  if (!record) return 0;
  return SmsUtf8List().Next([&](const SmsEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int ReadSmsEntryUtf8(MxGsmHandle h, int index, MxSmsUtf8Record* record) { return ReadOneEntry(h, index, record); }

int LoadJoinedSmsEntries(MxGsmHandle h, int status) {
  std::vector<JoinedMessage> messages;
  const auto result = WithService<CMxGsmSms>(
      h, "_ReadJoinedMessages", [&](CMxGsmSms& sms) { return sms.ReadJoinedMessages(status, messages); });
  return JoinedList().Load(result.value_or(0) != 0, std::move(messages));
}

int GetNextJoinedSmsEntry(MxJoinedSmsRecord* record) {
  if (!record) return 0;
  return JoinedList().Next([&](const JoinedMessage& message) { fonexa::ToRecord(message, *record); }) ? 1 : 0;
}

int SetJoinTimeLimit(int milliseconds) {
  if (milliseconds < 0) return 0;
  fonexa::PartAssembler::Process().SetTimeLimit(static_cast<uint32_t>(milliseconds));
  return 1;
}

}  // extern "C"
