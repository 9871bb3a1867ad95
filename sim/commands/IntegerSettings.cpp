#include "sim/commands/IntegerSettings.h"

#include "sim/commands/CommandModules.h"

namespace fonexa::sim {
namespace {

// +CREG?: the report mode, then the registration and, in mode 2 while
// registered, where the phone is.
std::string registrationTail(const ModemContext& ctx) {
  std::string tail = "," + std::to_string(static_cast<int>(ctx.network.registration()));
  if (ctx.settings.cregMode == 2 && ctx.network.registered()) {
    tail += "," + quoted(ctx.network.locationArea) + "," + quoted(ctx.network.cellId);
  }
  return tail;
}

// +CSMS=<service> answers with what the service supports: mobile
// terminated, mobile originated and cell broadcast messages, all of them.
void reportMessageServices(ModemContext&, int, const AtCommand&, Reply& r) { r.info("+CSMS: 1,1,1"); }

// +CNMA=<n>[,<length>]: the reply to a message routed to the terminal. An
// RP-ACK / RP-ERROR TPDU of <length> octets may follow at a prompt; the
// network does not need it.
void acknowledgeMessage(ModemContext& ctx, int reply, const AtCommand& cmd, Reply& r) {
  auto length = integerParameter(cmd, 1, 0, kMaxTpduLength, 0);
  if (!length) return r.fail(Outcome::cms(CmsError::InvalidPduParameter));
  if (!ctx.centre.acknowledgementPending()) return r.fail(Outcome::cms(CmsError::NoAckExpected));
  if (*length == 0) return r.fail(ctx.centre.acknowledge(reply));
  ModemContext* c = &ctx;
  r.onPromptText = [c, reply](const std::string&, Reply& rep) { rep.fail(c->centre.acknowledge(reply)); };
}

constexpr Outcome kServiceRefused = Outcome::cms(CmsError::OperationNotSupported);
constexpr Outcome kBadPdu = Outcome::cms(CmsError::InvalidPduParameter);

constexpr IntegerSetting kSettings[] = {
    // GSM 07.07: error reports, registration reports, caller identification.
    {.name = "+CMEE", .range = "(0-2)", .field = &TerminalSettings::cmee, .omitted = 0, .bareTakesOmitted = true},
    {.name = "+CREG", .range = "(0-2)", .field = &TerminalSettings::cregMode, .omitted = 0, .bareTakesOmitted = true,
     .readState = registrationTail},
    // The tails are the network's side: CLIP and COLP provisioned, CLIR
    // in temporary mode with presentation allowed by default.
    {.name = "+CLIP", .range = "(0-1)", .field = &TerminalSettings::clip, .omitted = 0, .readTail = ",1"},
    {.name = "+CLIR", .range = "(0-2)", .field = &TerminalSettings::clir, .omitted = 0, .readTail = ",4"},
    {.name = "+COLP", .range = "(0-1)", .field = &TerminalSettings::colp, .omitted = 0, .readTail = ",1"},
    {.name = "+CRC", .range = "(0-1)", .field = &TerminalSettings::crc, .omitted = 0},
    // GSM 07.05: message service, format, text-mode headers, acknowledgement.
    {.name = "+CSMS", .range = "(0,1)", .field = &TerminalSettings::csms, .rejected = kServiceRefused,
     .readTail = ",1,1,1", .apply = reportMessageServices},
    {.name = "+CMGF", .range = "(0,1)", .field = &TerminalSettings::cmgf, .omitted = 0, .bareTakesOmitted = true},
    {.name = "+CSDH", .range = "(0,1)", .field = &TerminalSettings::csdh, .omitted = 0, .bareTakesOmitted = true},
    {.name = "+CNMA", .range = "(0-2)", .omitted = 0, .rejected = kBadPdu, .bareTakesOmitted = true,
     .apply = acknowledgeMessage},
};

// The first parameter as a value the range list holds.
std::optional<int> valueInRange(const IntegerSetting& s, const AtCommand& cmd) {
  const AtParameter& p = cmd.parameter(0);
  if (!p.present) return s.omitted;
  auto v = p.number();  // at most nine digits: it fits an int
  if (!v || !inRangeList(rangeGroup(s.range, 0), static_cast<int>(*v))) return std::nullopt;
  return static_cast<int>(*v);
}

}  // namespace

std::span<const IntegerSetting> integerSettings() { return kSettings; }

CommandHandler integerSettingHandler(const IntegerSetting& setting) {
  return [setting](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    const std::string name(setting.name);
    switch (cmd.form) {
      case AtForm::Test: return r.info(name + ": " + std::string(setting.range));
      case AtForm::Read: {
        if (!setting.field) return r.fail(Outcome::error());
        std::string line = name + ": " + std::to_string(ctx.settings.*setting.field) + std::string(setting.readTail);
        if (setting.readState) line += setting.readState(ctx);
        return r.info(line);
      }
      case AtForm::Execute:
        if (!setting.bareTakesOmitted) return r.fail(Outcome::error());
        break;
      case AtForm::Set: break;
    }
    auto value = valueInRange(setting, cmd);
    if (!value) return r.fail(setting.rejected);
    if (setting.field) ctx.settings.*setting.field = *value;
    if (setting.apply) setting.apply(ctx, *value, cmd, r);
  };
}

void registerIntegerSettings(CommandTable& table) {
  for (const auto& setting : kSettings) table.add(std::string(setting.name), integerSettingHandler(setting));
}

}  // namespace fonexa::sim
