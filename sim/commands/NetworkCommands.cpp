// Network: signal quality (+CSQ), operator selection and the networks in
// reach (+COPS), the operator names in memory (+COPN). +CREG is a row in
// IntegerSettings.
#include "sim/commands/CommandModules.h"
#include "sim/profiles/OperatorTable.h"

namespace fonexa::sim {
namespace {

std::string operatorText(const std::string& numeric, int format) {
  const OperatorName* op = findOperator(numeric);
  if (format == 2 || !op) return numeric;
  return format == 1 ? op->shortName : op->longName;
}

void handleCsq(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info("+CSQ: (0-31,99),(0-7,99)");
  if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
  r.info("+CSQ: " + std::to_string(ctx.network.rssi) + "," + std::to_string(ctx.network.ber));
}

void listNetworks(ModemContext& ctx, Reply& r) {
  // Scanning the bands takes the phone a while; a character aborts it. Each
  // entry carries the access technology (0, GSM) as phones have since
  // release 99; some clients parse the list only with it.
  auto deferred = r.defer();
  deferred->abortOutcome = Outcome::ok();
  ModemContext* c = &ctx;
  ctx.scheduler.schedule(ctx.networkScanTime, [c, deferred] {
    std::string list;
    for (const auto& n : c->network.visible) {
      const int availability = n.forbidden ? 3 : n.numeric == c->network.currentOperator() ? 2 : 1;
      const OperatorName* op = findOperator(n.numeric);
      list += "(" + std::to_string(availability) + "," + quoted(op ? op->longName : "") + "," +
              quoted(op ? op->shortName : "") + "," + quoted(n.numeric) + ",0),";
    }
    deferred->finish({"+COPS: " + list + ",(0,1,2,3,4),(0,1,2)"}, Outcome::ok());
  });
}

void handleCops(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: return listNetworks(ctx, r);
    case AtForm::Read: {
      std::string line = "+COPS: " + std::to_string(ctx.network.selectionMode());
      if (ctx.network.registered()) {
        line += "," + std::to_string(ctx.settings.copsFormat) + "," +
                quoted(operatorText(ctx.network.currentOperator(), ctx.settings.copsFormat));
      }
      return r.info(line);
    }
    case AtForm::Execute: return r.fail(Outcome::error());
    case AtForm::Set: break;
  }
  auto mode = integerParameter(cmd, 0, 0, 4);
  auto format = integerParameter(cmd, 1, 0, 2, ctx.settings.copsFormat);
  if (!mode || !format) return r.fail(Outcome::error());
  if (*mode == 3) {
    ctx.settings.copsFormat = *format;
    return;
  }
  if (*mode == 2) return r.fail(ctx.network.deregister());
  if (auto e = simGate(ctx)) return r.fail(*e);
  if (*mode == 0) return r.fail(ctx.network.selectAutomatic());
  if (!cmd.has(2)) return r.fail(Outcome::error());
  // The operator in the format given; phones take a bare numeric code too.
  std::string numeric = cmd.parameter(2).text;
  if (*format != 2) {
    const OperatorName* op = findOperatorByName(numeric);
    if (!op) return r.fail(Outcome::cme(CmeError::NoNetworkService));
    numeric = op->numeric;
  }
  ctx.settings.copsFormat = *format;
  r.fail(ctx.network.selectManual(numeric, *mode == 4));
}

void handleCopn(ModemContext&, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
  for (const auto& op : knownOperators()) r.info("+COPN: " + quoted(op.numeric) + "," + quoted(op.longName));
}

}  // namespace

void registerNetworkCommands(CommandTable& t) {
  t.add("+CSQ", handleCsq);
  t.add("+COPS", handleCops);
  t.add("+COPN", handleCopn);
}

}  // namespace fonexa::sim
