// Short messages.
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmSms.h"

using fonexa::CopyText;
using fonexa::Locked;
using fonexa::SmsEntry;
using fonexa::Store;

namespace {

fonexa::Enumeration<SmsEntry>& SmsList() {
  static fonexa::Enumeration<SmsEntry> list;
  return list;
}

// The operations that take no output: one call on the SMS service.
template <class Call>
int WithSms(MxGsmHandle h, const char* owner, Call call) {
  return Locked(h, owner, [&](CMxGsmWrapper& w) {
           CMxGsmSms sms(&w.Session());
           return call(sms);
         }).value_or(0);
}

}  // namespace

extern "C" {

int GetSmsStorage(MxGsmHandle h, int* storage, int* used, int* total) {
  int s = 0, u = 0, t = 0;
  const auto result = Locked(h, "GetSmsStorage", [&](CMxGsmWrapper& w) { return CMxGsmSms(&w.Session()).GetSmsStorage(s, u, t); });
  if (!result) return 0;
  Store(storage, s);
  Store(used, u);
  Store(total, t);
  return *result;
}

int SetSmsStorage(MxGsmHandle h, int storage) {
  return WithSms(h, "SetSmsStorage", [&](CMxGsmSms& sms) { return sms.SetSmsStorage(storage); });
}

int GetServiceCenter(MxGsmHandle h, char* number, int* type) {
  std::string text;
  int kind = 0;
  const auto result =
      Locked(h, "GetServiceCenter", [&](CMxGsmWrapper& w) { return CMxGsmSms(&w.Session()).GetServiceCenter(text, kind); });
  if (!result) return 0;
  CopyText(text, number, FONEXA_SERVICE_CENTER_SIZE);
  Store(type, kind);
  return *result;
}

int SetServiceCenter(MxGsmHandle h, const char* number) {
  if (!number) return 0;
  return WithSms(h, "SetServiceCenter", [&](CMxGsmSms& sms) { return sms.SetServiceCenter(number); });
}

int SendSms(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithSms(h, "SendSms", [&](CMxGsmSms& sms) { return sms.SendTextMessage(phone, text); });
}

int SendFlashSms(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithSms(h, "SendFlashSms", [&](CMxGsmSms& sms) { return sms.SendFlashMessage(phone, text); });
}

int LoadSmsEntries(MxGsmHandle h, int status) {
  std::vector<SmsEntry> entries;
  const auto result =
      Locked(h, "_ReadSmsEntries", [&](CMxGsmWrapper& w) { return CMxGsmSms(&w.Session()).ReadSmsEntries(status, entries); });
  return SmsList().Load(result.value_or(0) != 0, std::move(entries));
}

int GetNextSmsEntry(MxSmsRecord* record) {
  if (!record) return 0;
  return SmsList().Next([&](const SmsEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int ReadSmsEntry(MxGsmHandle h, int index, MxSmsRecord* record) {
  SmsEntry entry;
  const auto result =
      Locked(h, "ReadSmsEntry", [&](CMxGsmWrapper& w) { return CMxGsmSms(&w.Session()).ReadSmsEntry(index, entry); });
  if (!result || !*result) return 0;
  // A location the phone answered without a message leaves the record as it was.
  if (record && entry.Index != -1) fonexa::ToRecord(entry, *record);
  return *result;
}

int WriteSmsEntry(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithSms(h, "WriteSmsEntry", [&](CMxGsmSms& sms) { return sms.WriteSmsEntry(phone, text); });
}

int DeleteSmsEntry(MxGsmHandle h, int index) {
  return WithSms(h, "DeleteSmsEntry", [&](CMxGsmSms& sms) { return sms.DeleteMessage(index); });
}

}  // extern "C"
