#include "sim/profiles/DeviceProfiles.h"

namespace fonexa::sim {
namespace {

// How a phone lays out its phone books: the name it gives the dialled-calls
// book ("LD" in GSM 07.07, "DC" on most real phones), whether it keeps the
// SIM's own numbers (ON), the sizes of the SIM and phone books, and the
// longest text an entry takes.
struct BookLayout {
  std::string_view dialledName;
  bool ownNumbers;
  int simEntries;
  int phoneEntries;
  int textLength;
};

// A profile as data. Every phone holds the same SIM (IMSI, own number,
// service centre); a row says what tells the phone apart.
struct ProfileRow {
  std::string_view id;
  std::string_view manufacturer;  // +CGMI, as the phone prints it, quotes included
  std::string_view model;         // +CGMM
  std::string_view revision;      // +CGMR
  std::string_view imei;          // +CGSN
  BookLayout books;
  bool prefixedIdentity = false;
  std::string_view defaultCharset = "IRA";
  bool callListTimeStamps = false;
  int smsSimCapacity = 20;
  int smsPhoneCapacity = 100;
  bool dialAnswersAtOnce = false;
};

constexpr std::string_view kImsi = "262019876543210";
constexpr std::string_view kOwnNumber = "+491701234567";
constexpr std::string_view kServiceCentre = "+491710760000";

constexpr ProfileRow kProfiles[] = {
    {.id = "generic",
     .manufacturer = "Fonexa",
     .model = "VM-900 virtual GSM phone",
     .revision = "1.0.0",
     .imei = "490154203237518",
     .books = {"LD", true, 250, 500, 18}},
    {.id = "motorola",
     .manufacturer = "\"Motorola CE, Copyright 2000\"",
     .model = "\"GSM900\",\"GSM1800\",\"GSM1900\",\"MODEL=V300\"",
     .revision = "\"R373_G_0E.41.C3R_A\"",
     .imei = "\"IMEI351234567890129\"",
     .books = {"DC", true, 250, 1000, 16},
     .prefixedIdentity = true,
     .smsPhoneCapacity = 150},
    {.id = "ericsson",
     .manufacturer = "ERICSSON",
     .model = "1130202-BVT68",
     .revision = "R2A",
     .imei = "520127206345119",
     .books = {"DC", false, 200, 510, 20},
     .defaultCharset = "8859-1",
     .callListTimeStamps = true,
     .smsSimCapacity = 30,
     .smsPhoneCapacity = 150},
    {.id = "nokia",
     .manufacturer = "Nokia",
     .model = "Nokia 6310i",
     .revision = "V 5.22",
     .imei = "350612345678906",
     .books = {"DC", true, 250, 500, 20},
     .dialAnswersAtOnce = true},
};

std::vector<PhoneBookLayout> phoneBooks(const BookLayout& l) {
  std::vector<PhoneBookLayout> books = {
      {"SM", "SM", l.simEntries, 40, l.textLength},
      {"FD", "FD", 10, 40, l.textLength},
      {std::string(l.dialledName), "LD", 10, 40, l.textLength},
      {"MC", "MC", 10, 40, l.textLength},
      {"RC", "RC", 10, 40, l.textLength},
  };
  if (l.ownNumbers) books.push_back({"ON", "ON", 4, 40, l.textLength});
  books.push_back({"ME", "ME", l.phoneEntries, 40, l.textLength});
  return books;
}

DeviceProfile fromRow(const ProfileRow& row) {
  DeviceProfile p;
  p.id = row.id;
  p.manufacturer = row.manufacturer;
  p.model = row.model;
  p.revision = row.revision;
  p.imei = row.imei;
  p.imsi = kImsi;
  p.ownNumber = kOwnNumber;
  p.serviceCentre = kServiceCentre;
  p.prefixedIdentity = row.prefixedIdentity;
  p.defaultCharset = row.defaultCharset;
  p.phoneBooks = phoneBooks(row.books);
  p.callListTimeStamps = row.callListTimeStamps;
  p.smsSimCapacity = row.smsSimCapacity;
  p.smsPhoneCapacity = row.smsPhoneCapacity;
  p.dialAnswersAtOnce = row.dialAnswersAtOnce;
  return p;
}

const std::vector<DeviceProfile>& profiles() {
  static const std::vector<DeviceProfile> kBuilt = [] {
    std::vector<DeviceProfile> built;
    for (const auto& row : kProfiles) built.push_back(fromRow(row));
    return built;
  }();
  return kBuilt;
}

}  // namespace

const DeviceProfile* findDeviceProfile(std::string_view id) {
  for (const auto& p : profiles()) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

std::vector<std::string> deviceProfileIds() {
  std::vector<std::string> ids;
  for (const auto& row : kProfiles) ids.emplace_back(row.id);
  return ids;
}

}  // namespace fonexa::sim
