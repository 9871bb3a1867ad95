#pragma once
// Identity and capacities of the phones the modem can pretend to be. Each
// profile mirrors what a vendor plug-in of the SDK expects to meet: its
// identification texts, its phone-book names, its message memories.
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

struct PhoneBookLayout {
  std::string name;      // the name the phone uses in +CPBS ("LD" or "DC" for dialled calls)
  std::string kind;      // the GSM 07.07 storage it is: SM FD LD MC RC ON ME
  int capacity = 0;
  int numberLength = 40;
  int textLength = 18;
};

struct DeviceProfile {
  std::string id;  // "generic", "motorola", "ericsson", "nokia"
  std::string manufacturer;
  std::string model;
  std::string revision;
  std::string imei;
  std::string imsi;
  std::string ownNumber;      // the SIM's MSISDN, listed in the ON phone book
  std::string serviceCentre;  // +CSCA at delivery
  // Motorola phones answer +CGMI and friends with the command's prefix.
  bool prefixedIdentity = false;
  std::string defaultCharset = "IRA";
  // +CNMI=? : every value GSM 07.05 defines, so each plug-in's setting is taken.
  std::string cnmiRanges = "(0-3),(0-3),(0-3),(0-2),(0,1)";
  std::vector<PhoneBookLayout> phoneBooks;
  bool callListTimeStamps = false;  // "+CPBR: 1,"123",129,"",\"yy/MM/dd,hh:mm\"" on LD, MC, RC
  int smsSimCapacity = 20;
  int smsPhoneCapacity = 100;
  // Some phones end ATD...; with OK as soon as dialling starts, most only
  // once the other side has answered.
  bool dialAnswersAtOnce = false;
};

const DeviceProfile* findDeviceProfile(std::string_view id);
std::vector<std::string> deviceProfileIds();

}  // namespace fonexa::sim
