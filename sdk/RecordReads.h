// How both facades read records: one record into a record object, or a whole
// engine enumeration into an array of them.
#pragma once

#include <optional>
#include <vector>

namespace Mebrix::Fonexa::sdk {

// loaded is the loader's answer: -1 leaves entries as they were and gives 0.
// Otherwise entries becomes the records next() hands out, and the result is 1.
// The engine caps its lists, so the reads end.
// The record object is assigned only when read() copied a record.
template <class Entry, class Record, class Read>
int ReadRecord(Read read, Entry& entry) {
  Record record{};
  if (!read(&record)) return 0;
  entry = Entry(record);
  return 1;
}

template <class Entry, class Record>
int FillList(int loaded, int (*next)(Record*), std::vector<Entry>& entries) {
  if (loaded == -1) return 0;
  entries.clear();
  Record record{};
  while (next(&record) == 1) entries.emplace_back(record);
  return 1;
}

template <class Entry, class Record>
std::optional<std::vector<Entry>> ListOf(int loaded, int (*next)(Record*)) {
  std::vector<Entry> entries;
  if (!FillList(loaded, next, entries)) return std::nullopt;
  return entries;
}

}  // namespace Mebrix::Fonexa::sdk
