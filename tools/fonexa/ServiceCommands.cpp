// forward and bar: call forwarding and call barring, shown and set.
#include "CommandError.h"
#include "Commands.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// GSM 07.07 +CCFC reasons, +CLCK barring facilities and class bits, as the
// engine numbers them.
const NameTable kForwardReasons = {{"unconditional", 0}, {"busy", 1}, {"no-reply", 2},
                                   {"not-reachable", 3}, {"all", 4},  {"all-conditional", 5}};
const NameTable kBarringTypes = {{"ao", 0}, {"oi", 1}, {"ox", 2}, {"ai", 3}, {"ir", 4}, {"ab", 5}, {"ag", 6}, {"ac", 7}};
const NameTable kBarringDescriptions = {{"all outgoing", 0},
                                        {"outgoing international", 1},
                                        {"outgoing international except to home", 2},
                                        {"all incoming", 3},
                                        {"incoming when roaming", 4},
                                        {"all barring", 5},
                                        {"all outgoing barring", 6},
                                        {"all incoming barring", 7}};
const NameTable kClasses = {{"voice", 1}, {"data", 2}, {"fax", 4}, {"sms", 8}};
const NameTable kSwitch = {{"off", 0}, {"on", 1}};

// What a query without a choice shows: each single condition.
constexpr int kSingleForwardReasons[] = {0, 1, 2, 3};
constexpr int kSingleBarringTypes[] = {0, 1, 2, 3, 4};

struct ServiceOptions {
  std::vector<int> choices;
  int choice = -1;
  int callClass = 1;
  int on = -1;
  int time = 0;
  std::string number;
  std::string password;
};

void forwardShow(CommandContext& context, const ServiceOptions& options) {
  context.connect();
  std::vector<int> reasons = options.choices;
  if (reasons.empty()) reasons.assign(std::begin(kSingleForwardReasons), std::end(kSingleForwardReasons));
  Json rows = Json::array();
  for (const int reason : reasons) {
    int status = 0, time = 0;
    char number[FONEXA_FORWARDING_NUMBER_SIZE] = {};
    if (!Call::GetCallForwarding(reason, options.callClass, status, number, time)) {
      refused("the phone did not report forwarding on " + nameOf(kForwardReasons, reason));
    }
    Json record;
    record["reason"] = nameOf(kForwardReasons, reason);
    record["active"] = status == 1;
    record["number"] = number[0] ? Json(latin1ToUtf8(number)) : Json(nullptr);
    record["time"] = status == 1 && reason == 2 && time > 0 ? Json(time) : Json(nullptr);
    rows.push_back(record);
  }
  context.out().table(rows, {{"reason", "REASON"}, {"active", "ACTIVE"}, {"time", "TIME"}, {"number", "NUMBER"}},
                      "nothing to show");
}

void forwardSet(CommandContext& context, const ServiceOptions& options, bool enable) {
  const std::string number = toEngine(options.number, "phone number");
  context.connect();
  if (!Call::SetCallForwarding(options.choice, options.callClass, enable ? 1 : 0, number.c_str(), options.time)) {
    refused("the network refused to " + std::string(enable ? "set" : "cancel") + " forwarding on " +
            nameOf(kForwardReasons, options.choice));
  }
  Json record;
  record["reason"] = nameOf(kForwardReasons, options.choice);
  record["active"] = enable;
  record["number"] = enable ? Json(options.number) : Json(nullptr);
  context.out().result(enable ? "calls forwarded to " + options.number + " on " + nameOf(kForwardReasons, options.choice)
                              : "forwarding on " + nameOf(kForwardReasons, options.choice) + " cancelled",
                       record);
}

void barShow(CommandContext& context, const ServiceOptions& options) {
  const std::string password = toEngine(options.password, "password");
  context.connect();
  std::vector<int> types = options.choices;
  if (types.empty()) types.assign(std::begin(kSingleBarringTypes), std::end(kSingleBarringTypes));
  Json rows = Json::array();
  for (const int type : types) {
    int status = 0;
    if (!Call::GetCallBarring(type, options.callClass, password.c_str(), status)) {
      refused("the phone did not report barring of " + nameOf(kBarringDescriptions, type));
    }
    Json record;
    record["type"] = nameOf(kBarringTypes, type);
    record["active"] = status == 1;
    record["description"] = nameOf(kBarringDescriptions, type);
    rows.push_back(record);
  }
  context.out().table(rows, {{"type", "TYPE"}, {"active", "ACTIVE"}, {"description", "WHAT"}}, "nothing to show");
}

void barSet(CommandContext& context, const ServiceOptions& options) {
  const std::string password = toEngine(options.password, "password");
  context.connect();
  if (!Call::SetCallBarring(options.choice, options.callClass, password.c_str(), options.on)) {
    refused("the network refused to switch " + nameOf(kBarringDescriptions, options.choice) + " barring " +
            nameOf(kSwitch, options.on) + " (is the barring password right?)");
  }
  Json record;
  record["type"] = nameOf(kBarringTypes, options.choice);
  record["active"] = options.on == 1;
  context.out().result(nameOf(kBarringDescriptions, options.choice) + " barring is " + nameOf(kSwitch, options.on),
                       record);
}

void addClassOption(CLI::App* command, ServiceOptions& options) {
  command->add_option("--class", options.callClass, "voice (default), data, fax or sms")
      ->transform(CLI::CheckedTransformer(kClasses, CLI::ignore_case));
}

}  // namespace

void addServiceCommands(CLI::App& app, CommandContext& context) {
  CLI::App* forward = app.add_subcommand("forward", "Call forwarding: show, set, off");
  forward->require_subcommand(1);
  const std::string reasons = "unconditional, busy, no-reply, not-reachable, all or all-conditional";

  auto shown = std::make_shared<ServiceOptions>();
  CLI::App* show = forward->add_subcommand("show", "Forwarding of each condition, or of those named");
  show->add_option("REASON", shown->choices, "unconditional, busy, no-reply or not-reachable")
      ->transform(CLI::CheckedTransformer(kForwardReasons, CLI::ignore_case));
  addClassOption(show, *shown);
  show->callback([&context, shown] { forwardShow(context, *shown); });

  auto setting = std::make_shared<ServiceOptions>();
  CLI::App* set = forward->add_subcommand("set", "Forward calls on a condition to a number");
  set->add_option("REASON", setting->choice, reasons)->required()->transform(CLI::CheckedTransformer(kForwardReasons, CLI::ignore_case));
  set->add_option("NUMBER", setting->number, "where calls go")->required();
  set->add_option("--time", setting->time, "no-reply: seconds of ringing first (5-30)")->check(CLI::Range(5, 30));
  addClassOption(set, *setting);
  set->callback([&context, setting] { forwardSet(context, *setting, true); });

  auto cancelling = std::make_shared<ServiceOptions>();
  CLI::App* off = forward->add_subcommand("off", "Cancel forwarding on a condition");
  off->add_option("REASON", cancelling->choice, reasons)->required()->transform(CLI::CheckedTransformer(kForwardReasons, CLI::ignore_case));
  addClassOption(off, *cancelling);
  off->callback([&context, cancelling] { forwardSet(context, *cancelling, false); });

  CLI::App* bar = app.add_subcommand("bar", "Call barring: show, set");
  bar->require_subcommand(1);
  const std::string types =
      "ao (all outgoing), oi (outgoing international), ox (international except home), ai (all incoming), "
      "ir (incoming when roaming), ab, ag, ac (all, all outgoing, all incoming barring)";

  auto barShown = std::make_shared<ServiceOptions>();
  CLI::App* barShowCommand = bar->add_subcommand("show", "Barring of each kind, or of those named");
  barShowCommand->add_option("TYPE", barShown->choices, types)->transform(CLI::CheckedTransformer(kBarringTypes, CLI::ignore_case));
  barShowCommand->add_option("--password", barShown->password, "the barring password, for networks that want it");
  addClassOption(barShowCommand, *barShown);
  barShowCommand->callback([&context, barShown] { barShow(context, *barShown); });

  auto barSetting = std::make_shared<ServiceOptions>();
  CLI::App* barSetCommand = bar->add_subcommand("set", "Switch a barring on or off");
  barSetCommand->add_option("TYPE", barSetting->choice, types)->required()->transform(CLI::CheckedTransformer(kBarringTypes, CLI::ignore_case));
  barSetCommand->add_option("STATE", barSetting->on, "on or off")->required()->transform(CLI::CheckedTransformer(kSwitch, CLI::ignore_case));
  barSetCommand->add_option("--password", barSetting->password, "the barring password")->required();
  addClassOption(barSetCommand, *barSetting);
  barSetCommand->callback([&context, barSetting] { barSet(context, *barSetting); });
}

}  // namespace fonexa::cli
