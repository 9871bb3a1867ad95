// The phone book.
#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "services/CMxGsmPhoneBook.h"

using fonexa::PhoneBookEntry;
using fonexa::Store;
using fonexa::WithService;

namespace {

fonexa::Enumeration<PhoneBookEntry>& PhoneBookList() {
  static fonexa::Enumeration<PhoneBookEntry> list;
  return list;
}

}  // namespace

extern "C" {

int GetPhoneBookStorage(MxGsmHandle h, int* used, int* total) {
  int u = 0, t = 0;
  const auto result = WithService<CMxGsmPhoneBook>(
      h, "GetPhoneBookStorage", [&](CMxGsmPhoneBook& b) { return b.GetCurrentPhoneBookStorageInfo(u, t); });
  if (!result) return 0;
  Store(used, u);
  Store(total, t);
  return *result;
}

int SetPhoneBookStorage(MxGsmHandle h, int storage) {
  return WithService<CMxGsmPhoneBook>(h, "SetPhoneBookStorage",
                                      [&](CMxGsmPhoneBook& b) { return b.SetCurrentPhoneBookStorage(storage); })
      .value_or(0);
}

int LoadPhoneBookEntries(MxGsmHandle h, int first, int last) {
  std::vector<PhoneBookEntry> entries;
  const auto result = WithService<CMxGsmPhoneBook>(
      h, "_ReadPhoneBookEntries", [&](CMxGsmPhoneBook& b) { return b.ReadPhoneBookEntries(first, last, entries); });
  return PhoneBookList().Load(result.value_or(0) != 0, std::move(entries));
}

int GetNextPhoneBookEntry(MxPhoneBookRecord* record) {
  if (!record) return 0;
  return PhoneBookList().Next([&](const PhoneBookEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int ReadPhoneBookEntry(MxGsmHandle h, int index, MxPhoneBookRecord* record) {
  if (LoadPhoneBookEntries(h, index, index) < 0) return 0;
  return GetNextPhoneBookEntry(record);
}

int WritePhoneBookEntry(MxGsmHandle h, int position, const char* number, const char* name) {
  if (!number || !name) return 0;
  return WithService<CMxGsmPhoneBook>(h, "WritePhoneBookEntry",
                                      [&](CMxGsmPhoneBook& b) { return b.WritePhoneBookEntry(position, number, name); })
      .value_or(0);
}

int DeletePhoneBookEntry(MxGsmHandle h, int position) {
  return WithService<CMxGsmPhoneBook>(h, "DeletePhoneBookEntry",
                                      [&](CMxGsmPhoneBook& b) { return b.DeletePhoneBookEntry(position); })
      .value_or(0);
}

int GetRangeInfo(MxGsmHandle h, int* first, int* last, int* numberLength, int* textLength) {
  int f = 0, l = 0, n = 0, t = 0;
  const auto result = WithService<CMxGsmPhoneBook>(h, "GetRangeInfo",
                                                   [&](CMxGsmPhoneBook& b) { return b.GetPhoneBookInfo(f, l, n, t); });
  if (!result) return 0;
  Store(first, f);
  Store(last, l);
  Store(numberLength, n);
  Store(textLength, t);
  return *result;
}

}  // extern "C"
