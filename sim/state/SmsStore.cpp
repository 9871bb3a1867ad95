#include "sim/state/SmsStore.h"

namespace fonexa::sim {

SmsStore::SmsStore(int simCapacity, int phoneCapacity)
    : sim_(static_cast<size_t>(simCapacity)), phone_(static_cast<size_t>(phoneCapacity)) {}

int SmsStore::capacity(std::string_view memory) const {
  if (memory == "SM") return static_cast<int>(sim_.size());
  if (memory == "ME") return static_cast<int>(phone_.size());
  if (memory == "MT") return static_cast<int>(sim_.size() + phone_.size());
  return 0;
}

int SmsStore::used(std::string_view memory) const {
  auto count = [](const std::vector<std::optional<StoredMessage>>& area) {
    int n = 0;
    for (const auto& s : area) n += s.has_value() ? 1 : 0;
    return n;
  };
  if (memory == "SM") return count(sim_);
  if (memory == "ME") return count(phone_);
  if (memory == "MT") return count(sim_) + count(phone_);
  return 0;
}

bool SmsStore::validIndex(std::string_view memory, int index) const {
  return index >= 1 && index <= capacity(memory);
}

std::optional<SmsStore::Slot> SmsStore::locate(std::string_view memory, int index) {
  if (!validIndex(memory, index)) return std::nullopt;
  const auto position = static_cast<size_t>(index - 1);
  if (memory == "SM") return Slot{&sim_, position};
  if (memory == "ME") return Slot{&phone_, position};
  if (position < sim_.size()) return Slot{&sim_, position};
  return Slot{&phone_, position - sim_.size()};
}

std::optional<int> SmsStore::store(std::string_view memory, StoredMessage message) {
  for (int index = 1; index <= capacity(memory); ++index) {
    auto slot = locate(memory, index);
    if (slot && !(*slot->area)[slot->position]) {
      (*slot->area)[slot->position] = std::move(message);
      return index;
    }
  }
  return std::nullopt;
}

bool SmsStore::storeAt(std::string_view memory, int index, StoredMessage message) {
  auto slot = locate(memory, index);
  if (!slot) return false;
  (*slot->area)[slot->position] = std::move(message);
  return true;
}

StoredMessage* SmsStore::find(std::string_view memory, int index) {
  auto slot = locate(memory, index);
  if (!slot || !(*slot->area)[slot->position]) return nullptr;
  return &*(*slot->area)[slot->position];
}

bool SmsStore::erase(std::string_view memory, int index) {
  auto slot = locate(memory, index);
  if (!slot) return false;
  (*slot->area)[slot->position].reset();
  return true;
}

void SmsStore::clear() {
  for (auto& s : sim_) s.reset();
  for (auto& s : phone_) s.reset();
}

std::vector<SmsStore::Entry> SmsStore::list(std::string_view memory) {
  std::vector<Entry> out;
  for (int index = 1; index <= capacity(memory); ++index) {
    if (auto* m = find(memory, index)) out.push_back({index, m});
  }
  return out;
}

}  // namespace fonexa::sim
