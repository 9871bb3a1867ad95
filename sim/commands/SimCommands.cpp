// SIM security: +CPIN (state and code entry), +CPWD (changing codes and the
// barring password) and +CLCK (SIM locks and call barring per class).
#include "sim/commands/CommandModules.h"

namespace fonexa::sim {
namespace {

constexpr const char* kLockFacilities = "\"SC\",\"FD\",\"PS\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\",\"AB\",\"AG\",\"AC\"";

bool isSimFacility(std::string_view f) { return f == "SC" || f == "FD" || f == "PS"; }

void handleCpin(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: break;
    case AtForm::Read:
      if (auto text = ctx.sim.cpinText()) {
        r.info("+CPIN: " + *text);
      } else {
        r.fail(Outcome::cme(*ctx.sim.accessError()));
      }
      break;
    case AtForm::Set: {
      if (!cmd.has(0) || cmd.parameters.size() > 2) return r.fail(Outcome::error());
      std::optional<std::string_view> newCode;
      if (cmd.has(1)) newCode = cmd.parameter(1).text;
      r.fail(ctx.sim.enterCode(cmd.parameter(0).text, newCode));
      break;
    }
    case AtForm::Execute: r.fail(Outcome::error()); break;
  }
}

void handleCpwd(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) {
    r.info("+CPWD: (\"SC\",8),(\"P2\",8),(\"PS\",8),(\"AO\",4),(\"OI\",4),(\"OX\",4),(\"AI\",4),(\"IR\",4),"
           "(\"AB\",4),(\"AG\",4),(\"AC\",4)");
    return;
  }
  if (cmd.form != AtForm::Set || !cmd.has(0) || !cmd.has(1) || !cmd.has(2)) return r.fail(Outcome::error());
  const std::string& facility = cmd.parameter(0).text;
  if (ctx.services.isBarringFacility(facility)) {
    if (auto e = simGate(ctx)) return r.fail(*e);
    if (!ctx.network.registered()) return r.fail(Outcome::cme(CmeError::NoNetworkService));
    return r.fail(ctx.services.changeBarringPassword(cmd.parameter(1).text, cmd.parameter(2).text));
  }
  r.fail(ctx.sim.changeCode(facility, cmd.parameter(1).text, cmd.parameter(2).text));
}

void handleClck(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info(std::string("+CLCK: (") + kLockFacilities + ")");
  if (cmd.form != AtForm::Set || !cmd.has(0)) return r.fail(Outcome::error());
  const std::string& facility = cmd.parameter(0).text;
  auto mode = integerParameter(cmd, 1, 0, 2);
  auto classes = integerParameter(cmd, 3, 1, 255, SupplementaryServices::kDefaultClasses);
  if (!mode || !classes) return r.fail(Outcome::error());
  const std::string& password = cmd.parameter(2).text;
  if (isSimFacility(facility)) {
    int status = 0;
    const Outcome o = ctx.sim.lock(facility, *mode, password, status);
    if (o.isOk() && *mode == 2) r.info("+CLCK: " + std::to_string(status));
    return r.fail(o);
  }
  if (!ctx.services.isBarringFacility(facility)) return r.fail(Outcome::cme(CmeError::OperationNotSupported));
  if (auto e = simGate(ctx)) return r.fail(*e);
  if (!ctx.network.registered()) return r.fail(Outcome::cme(CmeError::NoNetworkService));
  std::vector<std::string> lines;
  const Outcome o = ctx.services.barring(facility, *mode, password, *classes, lines);
  for (auto& l : lines) r.info(std::move(l));
  r.fail(o);
}

}  // namespace

void registerSimCommands(CommandTable& t) {
  t.add("+CPIN", handleCpin);
  t.add("+CPWD", handleCpwd);
  t.add("+CLCK", handleClck);
}

}  // namespace fonexa::sim
