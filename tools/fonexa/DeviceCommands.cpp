// identify, status and signal: who the phone is and how it is doing.
#include <cstdio>

#include "CommandError.h"
#include "Commands.h"
#include "SimCodes.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The +CPAS activities.
const NameTable kActivities = {{"ready", 0}, {"unknown", 2}, {"ringing", 3}, {"call in progress", 4}};

// The <stat> of +CREG.
const NameTable kRegistrations = {{"not registered", 0}, {"registered, home network", 1},
                                  {"searching", 2},      {"registration denied", 3},
                                  {"unknown", 4},        {"registered, roaming", 5}};

// An identity answer as the phone sent it may end in its line break.
template <size_t Size>
Json readText(int (*read)(char*)) {
  char text[Size] = {};
  if (!read(text)) return nullptr;
  std::string value = text;
  const size_t end = value.find_last_not_of(" \r\n");
  value.erase(end == std::string::npos ? 0 : end + 1);
  return latin1ToUtf8(value);
}

Json signalRecord() {
  int rssi = -1, ber = -1;
  if (!Network::GetSignalQuality(rssi, ber)) refused("the phone did not report its signal quality");
  Json record;
  record["rssi"] = rssi;
  // GSM 07.07: 0 is -113 dBm or less, 31 is -51 dBm or more, 99 not known.
  record["dbm"] = rssi >= 0 && rssi <= 31 ? Json(-113 + 2 * rssi) : Json(nullptr);
  record["ber"] = ber >= 0 && ber <= 7 ? Json(ber) : Json(nullptr);
  return record;
}

void identify(CommandContext& context) {
  context.connect(SimNeed::Any);
  Json record;
  record["manufacturer"] = readText<FONEXA_IDENTITY_SIZE>(Module::GetManufacturer);
  record["model"] = readText<FONEXA_IDENTITY_SIZE>(Module::GetModel);
  record["imei"] = readText<FONEXA_IDENTITY_SIZE>(Module::GetImei);
  record["sim_id"] = readText<FONEXA_SIM_ID_SIZE>(Module::GetSimId);
  record["clock"] = readText<FONEXA_TIME_SIZE>(Module::GetTime);
  bool any = false;
  for (const auto& [key, value] : record.items()) any = any || !value.is_null();
  if (!any) refused("the phone answered none of the identity queries");
  context.out().record(record);
}

void status(CommandContext& context) {
  context.connect(SimNeed::Any);
  Json record;
  record["device"] = latin1ToUtf8(context.spec());
  record["powered"] = Module::GetState(1) == 1;
  record["sim_present"] = Module::GetState(2) == 1;
  const int sim = Protection::GetVerifyStatus();
  const SimStatus* known = findSimStatus(sim);
  record["sim"] = known ? Json(known->word) : Json(nullptr);
  record["ready"] = Module::GetState(4) == 1;
  const int activity = Module::GetActivity();
  record["activity"] = activity < 0 ? Json(nullptr) : Json(nameOf(kActivities, activity));
  int stat = -1;
  record["registration"] = Network::GetRegistrationStatus(stat) && stat >= 0 ? Json(nameOf(kRegistrations, stat))
                                                                               : Json(nullptr);
  int rssi = -1, ber = -1;
  record["signal_dbm"] = Network::GetSignalQuality(rssi, ber) && rssi >= 0 && rssi <= 31 ? Json(-113 + 2 * rssi)
                                                                                         : Json(nullptr);
  context.out().record(record);
}

}  // namespace

std::string nameOf(const NameTable& table, int value) {
  for (const auto& [name, number] : table) {
    if (number == value) return name;
  }
  return std::to_string(value);
}

void addDeviceCommands(CLI::App& app, CommandContext& context) {
  app.add_subcommand("identify", "The phone's manufacturer, model, IMEI, SIM identity and clock")
      ->callback([&context] { identify(context); });
  app.add_subcommand("status", "Power, SIM, registration, activity and signal at a glance")
      ->callback([&context] { status(context); });
  app.add_subcommand("signal", "The signal quality: RSSI, dBm and bit error rate")->callback([&context] {
    context.connect();
    context.out().record(signalRecord());
  });
}

}  // namespace fonexa::cli
