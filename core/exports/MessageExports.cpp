// Short messages.
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmSms.h"

using fonexa::CopyText;
using fonexa::SmsEntry;
using fonexa::Store;
using fonexa::WithService;

namespace {

fonexa::Enumeration<SmsEntry>& SmsList() {
  static fonexa::Enumeration<SmsEntry> list;
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
  return SmsList().Load(result.value_or(0) != 0, std::move(entries));
}

int GetNextSmsEntry(MxSmsRecord* record) {
  if (!record) return 0;
  return SmsList().Next([&](const SmsEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int ReadSmsEntry(MxGsmHandle h, int index, MxSmsRecord* record) {
  SmsEntry entry;
  const auto result =
      WithService<CMxGsmSms>(h, "ReadSmsEntry", [&](CMxGsmSms& sms) { return sms.ReadSmsEntry(index, entry); });
  if (!result || !*result) return 0;
  // A location the phone answered without a message leaves the record as it was.
  if (record && entry.Index != -1) fonexa::ToRecord(entry, *record);
  return *result;
}

int WriteSmsEntry(MxGsmHandle h, const char* phone, const char* text) {
  if (!phone || !text) return 0;
  return WithService<CMxGsmSms>(h, "WriteSmsEntry", [&](CMxGsmSms& sms) { return sms.WriteSmsEntry(phone, text); })
      .value_or(0);
}

int DeleteSmsEntry(MxGsmHandle h, int index) {
  return WithService<CMxGsmSms>(h, "DeleteSmsEntry", [&](CMxGsmSms& sms) { return sms.DeleteMessage(index); })
      .value_or(0);
}

}  // extern "C"
