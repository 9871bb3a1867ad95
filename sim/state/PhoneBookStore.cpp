#include "sim/state/PhoneBookStore.h"

namespace fonexa::sim {

std::optional<int> PhoneBook::firstFree() const {
  for (int i = 1; i <= capacity(); ++i) {
    if (!entries.count(i)) return i;
  }
  return std::nullopt;
}

PhoneBookStore::PhoneBookStore(const DeviceProfile& profile) {
  for (const auto& layout : profile.phoneBooks) books_.emplace_back(layout);
  if (PhoneBook* own = byKind("ON"); own && !profile.ownNumber.empty()) {
    PhoneBookEntry e;
    e.number = profile.ownNumber;
    e.type = profile.ownNumber[0] == '+' ? 145 : 129;
    e.text = "Own number";
    own->entries[1] = e;
  }
}

PhoneBook* PhoneBookStore::find(std::string_view name) {
  for (auto& b : books_) {
    if (b.name() == name) return &b;
  }
  return nullptr;
}

PhoneBook* PhoneBookStore::byKind(std::string_view kind) {
  for (auto& b : books_) {
    if (b.kind() == kind) return &b;
  }
  return nullptr;
}

std::vector<std::string> PhoneBookStore::names() const {
  std::vector<std::string> out;
  for (const auto& b : books_) out.push_back(b.name());
  return out;
}

void PhoneBookStore::logCall(std::string_view kind, const PhoneBookEntry& entry) {
  PhoneBook* book = byKind(kind);
  if (!book || book->capacity() == 0) return;
  std::vector<PhoneBookEntry> list;
  list.push_back(entry);
  for (const auto& [index, e] : book->entries) {
    if (e.number != entry.number) list.push_back(e);
  }
  book->entries.clear();
  for (size_t i = 0; i < list.size() && static_cast<int>(i) < book->capacity(); ++i) {
    book->entries[static_cast<int>(i) + 1] = list[i];
  }
}

std::string PhoneBookStore::nameFor(std::string_view number) const {
  for (const auto& b : books_) {
    if (b.kind() != "SM" && b.kind() != "ME") continue;
    for (const auto& [index, e] : b.entries) {
      if (e.number == number && !e.text.empty()) return e.text;
    }
  }
  return "";
}

}  // namespace fonexa::sim
