// Prints the phone book of the current storage through the per-instance
// facade.
//   sdk-dump-phone-book DEVICE
#include <cstdio>
#include <string>
#include <vector>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
    return 2;
  }
  Dynamic::Gsm gsm;
  Dynamic::Module module(&gsm);
  if (!module.Initialize(std::string("GenericPhone@") + argv[1])) {
    std::printf("the phone did not come up\n");
    return 1;
  }
  Dynamic::PhoneBook book(&gsm);
  static const char* const kStorages[] = {"SM", "FD", "LD", "MC", "RC", "ON", "ME"};
  int used = 0, total = 0;
  const int storage = book.GetStorage(used, total);
  std::printf("storage %s: %d of %d used\n", storage >= 0 && storage < 7 ? kStorages[storage] : "?", used, total);

  std::vector<Dynamic::PhoneBook::PhoneBookEntry> entries;
  if (!book.ListEntries(-1, -1, entries)) {
    std::printf("the phone book could not be read\n");
    return 1;
  }
  for (const auto& entry : entries) {
    std::printf("%3d  %-20s %s\n", entry.GetPosition(), entry.GetPhoneNumber().c_str(), entry.GetName().c_str());
  }
  return 0;
}
