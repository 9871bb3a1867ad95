// Identification, V.250 line settings and maintenance: who the phone is, how
// it talks (echo, verbose, quiet, S registers, character set), its clock,
// its activity and its resets. +CMEE is a row in IntegerSettings.
#include <cstdio>
#include <cstdlib>

#include "sim/codec/CharacterSet.h"
#include "sim/commands/CommandModules.h"

namespace fonexa::sim {
namespace {

// V.250 basic settings take 0 or 1 ("E" alone is E0).
void flag(const AtCommand& cmd, Reply& r, bool& setting) {
  if (cmd.form != AtForm::Execute || cmd.argument.size() > 1 || (cmd.argument != "" && cmd.argument != "0" &&
                                                                 cmd.argument != "1")) {
    r.fail(Outcome::error());
    return;
  }
  setting = cmd.argument == "1";
}

// Basic settings the modem accepts and has no use for (&C, &D, L, M, X ...).
void acceptBasic(ModemContext&, const AtCommand& cmd, Reply& r) {
  if (cmd.argument.size() > 3) r.fail(Outcome::error());
}

// +CGMI, +CGMM, +CGMR, +CGSN and their V.250 twins.
CommandHandler identity(std::string prefix, std::string DeviceProfile::*field) {
  return [prefix, field](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Test) return;
    if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
    const std::string& text = ctx.profile.*field;
    r.info(ctx.profile.prefixedIdentity ? prefix + ": " + text : text);
  };
}

void restore(ModemContext& ctx, const TerminalSettings& settings) { ctx.settings = settings; }

void handleS(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  const int reg = std::atoi(cmd.argument.c_str());
  if (reg < 0 || reg >= static_cast<int>(ctx.settings.s.size())) return r.fail(Outcome::error());
  int& value = ctx.settings.s[static_cast<size_t>(reg)];
  if (cmd.form == AtForm::Read) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%03d", value);
    r.info(buf);
  } else if (cmd.form == AtForm::Set) {
    auto v = integerParameter(cmd, 0, 0, 255);
    if (!v) return r.fail(Outcome::error());
    value = *v;
  } else if (cmd.form == AtForm::Test) {
    r.info("S" + cmd.argument + ": (0-255)");
  }
}

void handleCscs(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: {
      std::string list;
      for (const auto& n : CharacterSet::names()) list += (list.empty() ? "" : ",") + quoted(n);
      r.info("+CSCS: (" + list + ")");
      break;
    }
    case AtForm::Read: r.info("+CSCS: " + quoted(ctx.settings.charset)); break;
    case AtForm::Set:
      if (!CharacterSet::supported(cmd.parameter(0).text)) return r.fail(Outcome::cme(CmeError::OperationNotSupported));
      ctx.settings.charset = cmd.parameter(0).text;
      break;
    case AtForm::Execute: r.fail(Outcome::error()); break;
  }
}

void handleCclk(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: break;
    case AtForm::Read: r.info("+CCLK: " + quoted(ctx.clock.now().toText())); break;
    case AtForm::Set:
      if (!ctx.clock.set(cmd.parameter(0).text)) r.fail(Outcome::error());
      break;
    case AtForm::Execute: r.fail(Outcome::error()); break;
  }
}

void handleCfun(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: r.info("+CFUN: (0,1,4),(0,1)"); break;
    case AtForm::Read: r.info(std::string("+CFUN: ") + (ctx.network.selectionMode() == 2 ? "4" : "1")); break;
    case AtForm::Set: {
      auto fun = integerParameter(cmd, 0, 0, 4);
      if (!fun || *fun == 2 || *fun == 3) return r.fail(Outcome::cme(CmeError::OperationNotSupported));
      if (*fun == 1) {
        ctx.network.selectAutomatic();
        ctx.network.simReady(ctx.sim.ready());
      } else {
        ctx.network.deregister();
      }
      break;
    }
    case AtForm::Execute: r.fail(Outcome::error()); break;
  }
}

}  // namespace

void registerIdentityCommands(CommandTable& t) {
  t.add("E", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) { flag(cmd, r, ctx.settings.echo); });
  t.add("V", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) { flag(cmd, r, ctx.settings.verbose); });
  t.add("Q", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) { flag(cmd, r, ctx.settings.quiet); });
  t.add("Z", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.argument != "" && cmd.argument != "0") return r.fail(Outcome::error());
    restore(ctx, ctx.saved);
  });
  t.add("&F", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.argument != "" && cmd.argument != "0") return r.fail(Outcome::error());
    restore(ctx, TerminalSettings::factory(ctx.profile));
  });
  t.add("&W", [](ModemContext& ctx, const AtCommand&, Reply&) { ctx.saved = ctx.settings; });
  t.add("&V", [](ModemContext& ctx, const AtCommand&, Reply& r) {
    const auto& s = ctx.settings;
    char buf[96];
    std::snprintf(buf, sizeof buf, "E%d Q%d V%d S0:%03d S3:%03d S4:%03d S5:%03d +CMEE:%d +CMGF:%d", s.echo ? 1 : 0,
                  s.quiet ? 1 : 0, s.verbose ? 1 : 0, s.s[0], s.s[3], s.s[4], s.s[5], s.cmee, s.cmgf);
    r.info(buf);
  });
  for (const char* name : {"&C", "&D", "&K", "&S", "L", "M", "X", "B", "P", "T"}) t.add(name, acceptBasic);
  t.add("I", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.argument == "" || cmd.argument == "0") {
      r.info(ctx.profile.manufacturer);
      r.info(ctx.profile.model);
      r.info(ctx.profile.revision);
    } else if (cmd.argument == "3") {
      r.info(ctx.profile.revision);
    } else if (cmd.argument != "1" && cmd.argument != "2") {
      r.fail(Outcome::error());
    }
  });
  t.add("S", handleS);

  t.add("+CGMI", identity("+CGMI", &DeviceProfile::manufacturer));
  t.add("+GMI", identity("+GMI", &DeviceProfile::manufacturer));
  t.add("+CGMM", identity("+CGMM", &DeviceProfile::model));
  t.add("+GMM", identity("+GMM", &DeviceProfile::model));
  t.add("+CGMR", identity("+CGMR", &DeviceProfile::revision));
  t.add("+GMR", identity("+GMR", &DeviceProfile::revision));
  t.add("+CGSN", identity("+CGSN", &DeviceProfile::imei));
  t.add("+GSN", identity("+GSN", &DeviceProfile::imei));
  t.add("+GCAP", [](ModemContext&, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Execute) r.info("+GCAP: +CGSM,+DS");
  });
  t.add("+CIMI", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Test) return;
    if (auto e = simGate(ctx)) return r.fail(*e);
    r.info(ctx.profile.imsi);
  });
  t.add("+CNUM", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Test) return;
    if (auto e = simGate(ctx)) return r.fail(*e);
    if (PhoneBook* own = ctx.phoneBooks.byKind("ON")) {
      for (const auto& [index, e] : own->entries) {
        r.info("+CNUM: " + quoted(e.text) + "," + quoted(e.number) + "," + std::to_string(e.type));
      }
    }
  });
  t.add("+CSCS", handleCscs);
  t.add("+CCLK", handleCclk);
  t.add("+CFUN", handleCfun);
  t.add("+CBC", [](ModemContext&, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Test) return r.info("+CBC: (0-3),(0-100)");
    if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
    r.info("+CBC: 0,82");
  });
}

}  // namespace fonexa::sim
