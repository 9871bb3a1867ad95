// operator: the network the phone is on, the ones it can see, and the choice.
#include "CommandError.h"
#include "Commands.h"
#include "Progress.h"
#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using namespace Mebrix::Fonexa;

namespace {

// The <stat> of a +COPS=? entry.
const NameTable kOperatorStates = {{"unknown", 0}, {"available", 1}, {"current", 2}, {"forbidden", 3}};
// The <mode> of +COPS?.
const NameTable kSelectionModes = {{"automatic", 0}, {"manual", 1}, {"deregistered", 2}, {"manual, else automatic", 4}};

Json operatorRecord(const Network::NetworkEntry& entry) {
  Json record;
  record["code"] = entry.GetCodeNumber() >= 0 ? Json(entry.GetCodeNumber()) : Json(nullptr);
  record["name"] = latin1ToUtf8(entry.GetName());
  record["state"] = entry.GetState() >= 0 ? Json(nameOf(kOperatorStates, entry.GetState())) : Json(nullptr);
  return record;
}

void current(CommandContext& context) {
  context.connect();
  Network::NetworkEntry entry;
  if (!Network::GetCurrentOperator(entry)) refused("the phone did not report its operator");
  Json record;
  record["code"] = entry.GetCodeNumber() >= 0 ? Json(entry.GetCodeNumber()) : Json(nullptr);
  record["name"] = latin1ToUtf8(entry.GetName());
  record["selection"] = entry.GetMode() >= 0 ? Json(nameOf(kSelectionModes, entry.GetMode())) : Json(nullptr);
  context.out().record(record);
}

void list(CommandContext& context, bool world) {
  context.connect();
  std::vector<Network::NetworkEntry> operators;
  int listed = 0;
  {
    // A network search takes the phone tens of seconds.
    Progress progress(world ? "reading the operator names" : "searching for networks", 0);
    listed = world ? Network::ListWorldOperators(operators) : Network::ListLocalOperators(operators);
  }
  if (!listed) refused(world ? "the phone did not list its operator names" : "the network search failed");
  Json rows = Json::array();
  for (const auto& entry : operators) rows.push_back(operatorRecord(entry));
  context.out().table(rows, {{"code", "CODE"}, {"state", "STATE"}, {"name", "NAME"}}, "no operators");
}

void select(CommandContext& context, const std::string& choice) {
  int code = 0;
  if (choice != "auto" && choice != "automatic") {
    try {
      size_t used = 0;
      code = std::stoi(choice, &used);
      if (used != choice.size() || code <= 0) throw std::invalid_argument(choice);
    } catch (const std::exception&) {
      badUsage("the operator is a numeric code such as 23001 (MCC and MNC), or \"auto\"");
    }
  }
  context.connect();
  int done = 0;
  {
    Progress progress("registering", 0);
    done = code ? Network::SetManualOperator(code) : Network::SetAutomaticOperator();
  }
  if (!done) refused(code ? "the phone could not register with operator " + choice : "the phone refused automatic selection");
  Json record;
  record["selection"] = code ? "manual" : "automatic";
  record["code"] = code ? Json(code) : Json(nullptr);
  context.out().result(code ? "registered with operator " + choice : "operator selection is automatic", record);
}

}  // namespace

void addOperatorCommands(CLI::App& app, CommandContext& context) {
  CLI::App* family = app.add_subcommand("operator", "The network operator: current, list, select");
  family->require_subcommand(1);
  family->add_subcommand("current", "The operator the phone is registered with")->callback([&context] {
    current(context);
  });

  auto world = std::make_shared<bool>(false);
  CLI::App* listing = family->add_subcommand("list", "The networks the phone can see (a search of up to a minute)");
  listing->add_flag("--all", *world, "the phone's whole table of operator names instead of a search");
  listing->callback([&context, world] { list(context, *world); });

  auto choice = std::make_shared<std::string>();
  CLI::App* choose = family->add_subcommand("select", "Register with an operator, or go back to automatic selection");
  choose->add_option("OPERATOR", *choice, "numeric code (MCC and MNC, as 23001) or \"auto\"")->required();
  choose->callback([&context, choice] { select(context, *choice); });
}

}  // namespace fonexa::cli
