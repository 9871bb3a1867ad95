#pragma once
// The message memories of GSM 07.05: "SM" on the SIM, "ME" in the phone, and
// "MT", the two seen as one (SIM locations first, the phone's numbered on
// after them). Each location holds a PDU and its <stat>.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

// <stat> in PDU mode
enum class MessageStat { ReceivedUnread = 0, ReceivedRead = 1, StoredUnsent = 2, StoredSent = 3 };

struct StoredMessage {
  MessageStat stat = MessageStat::ReceivedUnread;
  std::string pdu;  // service-centre address and TPDU in hex
};

class SmsStore {
 public:
  SmsStore(int simCapacity, int phoneCapacity);

  static bool isMemory(std::string_view name) { return name == "SM" || name == "ME" || name == "MT"; }
  int capacity(std::string_view memory) const;
  int used(std::string_view memory) const;
  bool validIndex(std::string_view memory, int index) const;

  // The first free location: its index in that memory's numbering.
  std::optional<int> store(std::string_view memory, StoredMessage message);
  bool storeAt(std::string_view memory, int index, StoredMessage message);
  StoredMessage* find(std::string_view memory, int index);
  bool erase(std::string_view memory, int index);
  void clear();

  struct Entry {
    int index;
    StoredMessage* message;
  };
  std::vector<Entry> list(std::string_view memory);

 private:
  struct Slot {
    std::vector<std::optional<StoredMessage>>* area;
    size_t position;
  };
  std::optional<Slot> locate(std::string_view memory, int index);

  std::vector<std::optional<StoredMessage>> sim_;
  std::vector<std::optional<StoredMessage>> phone_;
};

}  // namespace fonexa::sim
