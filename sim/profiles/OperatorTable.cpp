#include "sim/profiles/OperatorTable.h"

namespace fonexa::sim {

// A slice of the table phones of the period shipped: the public MCC/MNC
// assignments of European and a few other networks with their display names.
const std::vector<OperatorName>& knownOperators() {
  static const std::vector<OperatorName> kTable = {
      {"20201", "GR COSMOTE", "COSMOTE"},
      {"20205", "vodafone GR", "voda GR"},
      {"20404", "vodafone NL", "voda NL"},
      {"20408", "NL KPN", "KPN"},
      {"20416", "T-Mobile NL", "TMO NL"},
      {"20601", "BEL PROXIMUS", "PROXI"},
      {"20610", "B mobistar", "mobi*"},
      {"20620", "BASE", "BASE"},
      {"20801", "Orange F", "Orange"},
      {"20810", "F SFR", "SFR"},
      {"20820", "F - BOUYGUES TELECOM", "BYTEL"},
      {"21401", "vodafone ES", "voda ES"},
      {"21403", "Orange", "Orange"},
      {"21407", "Movistar", "MOVISTAR"},
      {"21630", "T-Mobile H", "TMO H"},
      {"21670", "vodafone HU", "voda HU"},
      {"22201", "I TIM", "TIM"},
      {"22210", "vodafone IT", "voda IT"},
      {"22288", "I WIND", "WIND"},
      {"22601", "RO Vodafone", "VODAFONE"},
      {"22610", "RO ORANGE", "ORANGE"},
      {"22801", "Swisscom", "SCOM"},
      {"22802", "sunrise", "sunrise"},
      {"22803", "Orange CH", "Orange"},
      {"23001", "T-Mobile CZ", "TMO CZ"},
      {"23002", "O2 - CZ", "O2 CZ"},
      {"23003", "Vodafone CZ", "voda CZ"},
      {"23101", "Orange SK", "Orange"},
      {"23102", "T-Mobile SK", "TMO SK"},
      {"23201", "A1", "A1"},
      {"23203", "T-Mobile A", "TMO A"},
      {"23205", "one", "one"},
      {"23410", "O2 - UK", "O2 -UK"},
      {"23415", "vodafone UK", "voda UK"},
      {"23430", "T-Mobile UK", "TMO UK"},
      {"23433", "Orange", "Orange"},
      {"23801", "TDC MOBIL", "TDC"},
      {"23802", "DK Sonofon", "SONO"},
      {"24001", "TELIA S", "TELIA"},
      {"24007", "Tele2 SE", "Tele2"},
      {"24008", "vodafone SE", "voda SE"},
      {"24201", "N Telenor", "TELENOR"},
      {"24202", "N NetCom GSM", "N COM"},
      {"24405", "FI elisa", "elisa"},
      {"24491", "FI SONERA", "SONERA"},
      {"26001", "Plus GSM", "PLUS"},
      {"26002", "Era", "Era"},
      {"26003", "Orange PL", "Orange"},
      {"26201", "T-Mobile D", "TMO D"},
      {"26202", "Vodafone.de", "voda DE"},
      {"26203", "E-Plus", "E-Plus"},
      {"26207", "o2 - de", "o2 - de"},
      {"26801", "vodafone P", "voda P"},
      {"26803", "P OPTIMUS", "OPTIM"},
      {"26806", "P TMN", "TMN"},
      {"27201", "vodafone IE", "voda IE"},
      {"27202", "O2 - IRL", "O2 IRL"},
      {"27801", "vodafone MT", "voda MT"},
      {"28001", "CY CYTAGSM", "CYTAGSM"},
      {"29340", "SI.MOBIL", "SIMOBIL"},
      {"29341", "MOBITEL", "MOBITEL"},
      {"31026", "T-Mobile", "TMO US"},
      {"31041", "AT&T", "AT&T"},
      {"50501", "Telstra", "Telstra"},
      {"50503", "vodafone AU", "voda AU"},
  };
  return kTable;
}

const OperatorName* findOperator(std::string_view numeric) {
  for (const auto& op : knownOperators()) {
    if (op.numeric == numeric) return &op;
  }
  return nullptr;
}

const OperatorName* findOperatorByName(std::string_view name) {
  for (const auto& op : knownOperators()) {
    if (op.longName == name || op.shortName == name) return &op;
  }
  return nullptr;
}

}  // namespace fonexa::sim
