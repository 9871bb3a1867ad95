#pragma once
// Phone-book entries as files other programs read and write: vCard 3.0
// (RFC 2426) and CSV (RFC 4180, with a "position,name,number" header).
// Texts here are UTF-8; the conversion for the phone happens elsewhere.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::cli {

struct ContactEntry {
  int position = -1;  // -1: the first free location when written to the phone
  std::string name;
  std::string number;
};

enum class ContactFormat { VCard, Csv };

// By the file name's extension (.vcf, .vcard, .csv); nothing when it says none.
std::optional<ContactFormat> contactFormatOf(std::string_view path);

std::string writeVCards(const std::vector<ContactEntry>& entries);
std::string writeCsv(const std::vector<ContactEntry>& entries);

struct ContactFile {
  std::vector<ContactEntry> entries;
  std::vector<std::string> skipped;  // why each unusable entry was left out
};
ContactFile readVCards(std::string_view text);
ContactFile readCsv(std::string_view text);

}  // namespace fonexa::cli
