// Voice calls: ATD (also from a phone book), ATA, ATH, +CHUP, +CLCC, +CHLD,
// call waiting (+CCWA), the phone's activity (+CPAS) and call forwarding
// (+CCFC). The caller identification settings are rows in IntegerSettings.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "sim/commands/CommandModules.h"

namespace fonexa::sim {
namespace {

bool isEmergency(std::string_view number) { return number == "112" || number == "911"; }

// A number from a phone book: ">SM3", ">3" (current book) or ">\"Name\"".
std::optional<std::string> phoneBookNumber(ModemContext& ctx, std::string_view location) {
  std::string name;
  if (!location.empty() && location.front() == '"') {
    const std::string wanted(location.substr(1, location.size() >= 2 ? location.size() - 2 : 0));
    for (const char* book : {"SM", "ME"}) {
      if (PhoneBook* b = ctx.phoneBooks.byKind(book)) {
        for (const auto& [index, e] : b->entries) {
          if (e.text == wanted) return e.number;
        }
      }
    }
    return std::nullopt;
  }
  size_t i = 0;
  while (i < location.size() && std::isalpha(static_cast<unsigned char>(location[i]))) {
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(location[i++])));
  }
  PhoneBook* book = ctx.phoneBooks.find(name.empty() ? ctx.settings.phoneBook : name);
  if (!book) return std::nullopt;
  const int index = std::atoi(std::string(location.substr(i)).c_str());
  auto it = book->entries.find(index);
  if (it == book->entries.end()) return std::nullopt;
  return it->second.number;
}

void handleDial(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  std::string text = cmd.argument;
  const bool voice = !text.empty() && text.back() == ';';
  if (voice) text.pop_back();
  std::string number;
  if (!text.empty() && text.front() == '>') {
    auto found = phoneBookNumber(ctx, text.substr(1));
    if (!found) return r.fail(Outcome::cme(CmeError::NotFound));
    number = *found;
  } else {
    for (char c : text) {
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || (c == '+' && number.empty())) {
        number += c;
      } else if (std::string_view("TtPpWw,!@IiGg").find(c) == std::string_view::npos) {
        return r.fail(Outcome::cme(CmeError::InvalidDialCharacters));
      }
    }
  }
  if (number.empty()) return r.fail(Outcome::error());
  if (number.size() > 40) return r.fail(Outcome::cme(CmeError::DialStringTooLong));
  // Only voice calls: a data call finds no carrier.
  if (!voice) return r.fail(Outcome::final(FinalResult::NoCarrier));
  if (!isEmergency(number)) {
    if (auto e = simGate(ctx)) return r.fail(*e);
    if (ctx.sim.fixedDialling()) {
      PhoneBook* fd = ctx.phoneBooks.byKind("FD");
      const bool listed = fd && std::any_of(fd->entries.begin(), fd->entries.end(),
                                            [&](const auto& e) { return e.second.number == number; });
      if (!listed) return r.fail(Outcome::cme(CmeError::OperationNotAllowed));
    }
  }
  const int type = number[0] == '+' ? 145 : 129;
  auto start = ctx.calls.dial(number, type, ctx.network.registered() || isEmergency(number),
                              ctx.services.outgoingBarred(number));
  if (start.immediate) return r.fail(*start.immediate);
  if (ctx.profile.dialAnswersAtOnce) return;
  auto deferred = r.defer();
  const int id = start.callId;
  ModemContext* c = &ctx;
  deferred->onAbort = [c, id] {
    c->calls.abortDial(id);
    c->pendingDial.reset();
    c->pendingDialCall = 0;
  };
  ctx.pendingDial = deferred;
  ctx.pendingDialCall = id;
}

void handleHangUp(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.name == "H" && cmd.argument != "" && cmd.argument != "0") return r.fail(Outcome::error());
  if (cmd.form == AtForm::Test) return;
  ctx.calls.hangUpAll();
}

void handleClcc(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
  for (const auto& c : ctx.calls.calls()) {
    std::string line = "+CLCC: " + std::to_string(c.id) + "," + (c.incoming ? "1" : "0") + "," +
                       std::to_string(static_cast<int>(c.state)) + "," + std::to_string(c.mode) + "," +
                       (c.multiparty ? "1" : "0") + "," + quoted(c.number) + "," + std::to_string(c.type);
    if (!c.alpha.empty()) line += "," + quoted(c.alpha);
    r.info(line);
  }
}

void handleChld(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info("+CHLD: (0,1,1x,2,2x,3)");
  if (cmd.form != AtForm::Set || !cmd.has(0)) return r.fail(Outcome::error());
  if (auto e = simGate(ctx)) return r.fail(*e);
  r.fail(ctx.calls.hold(cmd.parameter(0).text));
}

void handleCpas(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info("+CPAS: (0-5)");
  if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
  int status = 0;
  if (ctx.calls.hasCallIn(CallState::Incoming)) status = 3;
  if (!ctx.calls.calls().empty() && status == 0) status = 4;
  r.info("+CPAS: " + std::to_string(status));
}

void handleCcwa(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: return r.info("+CCWA: (0,1)");
    case AtForm::Read: return r.info("+CCWA: " + std::to_string(ctx.settings.ccwa));
    case AtForm::Execute: return r.fail(Outcome::error());
    case AtForm::Set: break;
  }
  auto n = integerParameter(cmd, 0, 0, 1, ctx.settings.ccwa);
  auto mode = integerParameter(cmd, 1, 0, 2, -1);
  auto classes = integerParameter(cmd, 2, 1, 255, SupplementaryServices::kDefaultClasses);
  if (!n || !mode || !classes) return r.fail(Outcome::error());
  ctx.settings.ccwa = *n;
  if (*mode == 2) r.info("+CCWA: 1,1");
}

void handleCcfc(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info("+CCFC: (0-5)");
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  auto reason = integerParameter(cmd, 0, 0, 5);
  auto mode = integerParameter(cmd, 1, 0, 4);
  auto type = integerParameter(cmd, 3, 128, 255, 0);
  auto classes = integerParameter(cmd, 4, 1, 255, SupplementaryServices::kDefaultClasses);
  // <satype> and <subaddr> are taken and not used; <time> is the eighth.
  auto time = integerParameter(cmd, 7, 1, 30, 0);
  if (!reason || !mode || !type || !classes || !time) return r.fail(Outcome::error());
  if (auto e = simGate(ctx)) return r.fail(*e);
  if (!ctx.network.registered()) return r.fail(Outcome::cme(CmeError::NoNetworkService));
  if (*mode == 2) {
    std::vector<std::string> lines;
    const Outcome o = ctx.services.queryForwarding(*reason, *classes, lines);
    for (auto& l : lines) r.info(std::move(l));
    return r.fail(o);
  }
  r.fail(ctx.services.setForwarding(*reason, *mode, cmd.parameter(2).text, *type, *classes, *time));
}

}  // namespace

void registerCallCommands(CommandTable& t) {
  t.add("D", handleDial);
  t.add("A", [](ModemContext& ctx, const AtCommand& cmd, Reply& r) {
    if (!cmd.argument.empty()) return r.fail(Outcome::error());
    r.fail(ctx.calls.answer());
  });
  t.add("H", handleHangUp);
  t.add("+CHUP", handleHangUp);
  t.add("O", [](ModemContext&, const AtCommand&, Reply& r) { r.fail(Outcome::final(FinalResult::NoCarrier)); });
  t.add("+CLCC", handleClcc);
  t.add("+CHLD", handleChld);
  t.add("+CPAS", handleCpas);
  t.add("+CCWA", handleCcwa);
  t.add("+CCFC", handleCcfc);
}

}  // namespace fonexa::sim
