#pragma once
// The phone books of GSM 07.07 (+CPBS): the SIM's own (SM, FD, ON), the call
// lists the phone keeps by itself (LD or DC, MC, RC) and the phone memory
// (ME). Entries carry a number, its type of address, a name and, on call
// lists, when the call happened.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/codec/SmsPdu.h"
#include "sim/profiles/DeviceProfiles.h"

namespace fonexa::sim {

struct PhoneBookEntry {
  std::string number;  // digits; "+" in front when the type is international
  int type = 129;
  std::string text;  // UTF-8
  std::optional<SmsTimestamp> time;
};

class PhoneBook {
 public:
  explicit PhoneBook(PhoneBookLayout layout) : layout_(std::move(layout)) {}

  const PhoneBookLayout& layout() const { return layout_; }
  const std::string& name() const { return layout_.name; }
  const std::string& kind() const { return layout_.kind; }
  int capacity() const { return layout_.capacity; }
  // The call lists are written by the phone itself, the others by the user.
  bool userWritable() const { return kind() != "LD" && kind() != "MC" && kind() != "RC"; }
  bool validIndex(int index) const { return index >= 1 && index <= capacity(); }
  std::optional<int> firstFree() const;

  std::map<int, PhoneBookEntry> entries;

 private:
  PhoneBookLayout layout_;
};

class PhoneBookStore {
 public:
  explicit PhoneBookStore(const DeviceProfile& profile);

  PhoneBook* find(std::string_view name);
  PhoneBook* byKind(std::string_view kind);
  std::vector<std::string> names() const;
  const std::vector<PhoneBook>& books() const { return books_; }
  std::vector<PhoneBook>& books() { return books_; }

  // A call for a call list: it goes to the first location, the others move
  // down, the oldest falls off, an older entry for the same number goes.
  void logCall(std::string_view kind, const PhoneBookEntry& entry);
  // The name stored for a number in SM or ME, for caller identification.
  std::string nameFor(std::string_view number) const;

 private:
  std::vector<PhoneBook> books_;
};

}  // namespace fonexa::sim
