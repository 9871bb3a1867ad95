#include "sim/profiles/DeviceProfiles.h"

namespace fonexa::sim {
namespace {

std::vector<PhoneBookLayout> phoneBooks(std::string_view dialledName, bool withOwnNumbers, int simEntries,
                                        int phoneEntries, int textLength) {
  std::vector<PhoneBookLayout> books = {
      {"SM", "SM", simEntries, 40, textLength},
      {"FD", "FD", 10, 40, textLength},
      {std::string(dialledName), "LD", 10, 40, textLength},
      {"MC", "MC", 10, 40, textLength},
      {"RC", "RC", 10, 40, textLength},
  };
  if (withOwnNumbers) books.push_back({"ON", "ON", 4, 40, textLength});
  books.push_back({"ME", "ME", phoneEntries, 40, textLength});
  return books;
}

std::vector<DeviceProfile> makeProfiles() {
  std::vector<DeviceProfile> profiles;

  DeviceProfile generic;
  generic.id = "generic";
  generic.manufacturer = "Fonexa";
  generic.model = "VM-900 virtual GSM phone";
  generic.revision = "1.0.0";
  generic.imei = "490154203237518";
  generic.imsi = "262019876543210";
  generic.ownNumber = "+491701234567";
  generic.serviceCentre = "+491710760000";
  generic.phoneBooks = phoneBooks("LD", true, 250, 500, 18);
  profiles.push_back(generic);

  DeviceProfile motorola = generic;
  motorola.id = "motorola";
  motorola.manufacturer = "\"Motorola CE, Copyright 2000\"";
  motorola.model = "\"GSM900\",\"GSM1800\",\"GSM1900\",\"MODEL=V300\"";
  motorola.revision = "\"R373_G_0E.41.C3R_A\"";
  motorola.imei = "\"IMEI351234567890129\"";
  motorola.prefixedIdentity = true;
  motorola.phoneBooks = phoneBooks("DC", true, 250, 1000, 16);
  motorola.smsPhoneCapacity = 150;
  profiles.push_back(motorola);

  DeviceProfile ericsson = generic;
  ericsson.id = "ericsson";
  ericsson.manufacturer = "ERICSSON";
  ericsson.model = "1130202-BVT68";
  ericsson.revision = "R2A";
  ericsson.imei = "520127206345119";
  ericsson.defaultCharset = "8859-1";
  ericsson.phoneBooks = phoneBooks("DC", false, 200, 510, 20);
  ericsson.callListTimeStamps = true;
  ericsson.smsSimCapacity = 30;
  ericsson.smsPhoneCapacity = 150;
  profiles.push_back(ericsson);

  DeviceProfile nokia = generic;
  nokia.id = "nokia";
  nokia.manufacturer = "Nokia";
  nokia.model = "Nokia 6310i";
  nokia.revision = "V 5.22";
  nokia.imei = "350612345678906";
  nokia.phoneBooks = phoneBooks("DC", true, 250, 500, 20);
  nokia.dialAnswersAtOnce = true;
  profiles.push_back(nokia);

  return profiles;
}

const std::vector<DeviceProfile>& profiles() {
  static const std::vector<DeviceProfile> kProfiles = makeProfiles();
  return kProfiles;
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
  for (const auto& p : profiles()) ids.push_back(p.id);
  return ids;
}

}  // namespace fonexa::sim
