// Short messages (GSM 07.05), in PDU mode and in text mode: text-mode
// parameters, service centre, memories (+CPMS), sending (+CMGS, +CMSS),
// storing (+CMGW), listing, reading and deleting (+CMGL, +CMGR, +CMGD) and
// indications (+CNMI). +CSMS, +CMGF, +CSDH and +CNMA are rows in
// IntegerSettings.
#include "sim/codec/SmsPdu.h"
#include "sim/commands/CommandModules.h"
#include "sim/state/SmsPresentation.h"

namespace fonexa::sim {
namespace {

constexpr const char* kMemories = "(\"SM\",\"ME\",\"MT\")";

// GSM 07.05 has one error for every way a PDU can be wrong.
const Outcome kBadPdu = Outcome::cms(CmsError::InvalidPduParameter);

bool textMode(const ModemContext& ctx) { return ctx.settings.cmgf == 1; }

// <da> / <oa> with its type of address, as text-mode commands give them.
std::optional<TypedMessage> typedAddress(const ModemContext& ctx, const AtCommand& cmd) {
  TypedMessage m;
  m.number = cmd.parameter(0).text;
  const bool international = !m.number.empty() && m.number[0] == '+';
  auto type = integerParameter(cmd, 1, 128, 255, international ? 145 : 129);
  if (!type || m.number.size() > 21) return std::nullopt;
  m.typeOfAddress = *type;
  m.serviceCentre = ctx.centre.serviceCentre;
  return m;
}

std::string storageTriple(ModemContext& ctx, const std::string& memory) {
  return std::to_string(ctx.messages.used(memory)) + "," + std::to_string(ctx.messages.capacity(memory));
}

void handleCsca(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  switch (cmd.form) {
    case AtForm::Test: return;
    case AtForm::Read:
      if (auto e = simGateForMessages(ctx)) return r.fail(*e);
      return r.info("+CSCA: " + quoted(ctx.centre.serviceCentre) + "," + std::to_string(ctx.centre.serviceCentreType));
    case AtForm::Execute: return r.fail(Outcome::error());
    case AtForm::Set: break;
  }
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  const std::string& number = cmd.parameter(0).text;
  auto type = integerParameter(cmd, 1, 128, 255, number.empty() || number[0] != '+' ? 129 : 145);
  if (!cmd.has(0) || !type || number.size() > 21) return r.fail(Outcome::error());
  ctx.centre.serviceCentre = number;
  ctx.centre.serviceCentreType = *type;
}

void handleCpms(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return r.info(std::string("+CPMS: ") + kMemories + "," + kMemories + "," + kMemories);
  if (cmd.form == AtForm::Execute) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  auto& s = ctx.settings;
  if (cmd.form == AtForm::Read) {
    r.info("+CPMS: " + quoted(s.readMemory) + "," + storageTriple(ctx, s.readMemory) + "," + quoted(s.writeMemory) +
           "," + storageTriple(ctx, s.writeMemory) + "," + quoted(s.receiveMemory) + "," +
           storageTriple(ctx, s.receiveMemory));
    return;
  }
  if (!cmd.has(0) || cmd.parameters.size() > 3) return r.fail(Outcome::error());
  std::string memories[3] = {s.readMemory, s.writeMemory, s.receiveMemory};
  for (size_t i = 0; i < cmd.parameters.size(); ++i) {
    if (!cmd.has(i)) continue;
    if (!SmsStore::isMemory(cmd.parameter(i).text)) return r.fail(Outcome::cms(CmsError::OperationNotSupported));
    memories[i] = cmd.parameter(i).text;
  }
  s.readMemory = memories[0];
  s.writeMemory = memories[1];
  s.receiveMemory = memories[2];
  r.info("+CPMS: " + storageTriple(ctx, s.readMemory) + "," + storageTriple(ctx, s.writeMemory) + "," +
         storageTriple(ctx, s.receiveMemory));
}

void handleCmgl(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) {
    return r.info(textMode(ctx) ? "+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")"
                                : "+CMGL: (0-4)");
  }
  if (cmd.form == AtForm::Read) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  std::optional<int> stat;
  if (textMode(ctx)) {
    stat = cmd.has(0) ? statFromName(cmd.parameter(0).text) : std::optional<int>(0);
    if (!stat) return r.fail(Outcome::cms(CmsError::InvalidTextParameter));
  } else {
    stat = integerParameter(cmd, 0, 0, 4, 0);
    if (!stat) return r.fail(Outcome::cms(CmsError::InvalidPduParameter));
  }
  for (const auto& entry : ctx.messages.list(ctx.settings.readMemory)) {
    StoredMessage& m = *entry.message;
    if (*stat != 4 && static_cast<int>(m.stat) != *stat) continue;
    for (auto& line : listingLines(entry.index, m, ctx.settings)) r.info(std::move(line));
    if (m.stat == MessageStat::ReceivedUnread) m.stat = MessageStat::ReceivedRead;
  }
}

void handleCmgr(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  auto index = integerParameter(cmd, 0, 0, 100000);
  if (!index || !ctx.messages.validIndex(ctx.settings.readMemory, *index)) {
    return r.fail(Outcome::cms(CmsError::InvalidMemoryIndex));
  }
  StoredMessage* m = ctx.messages.find(ctx.settings.readMemory, *index);
  if (!m) return;  // an empty location reads as nothing, then OK
  for (auto& line : readingLines(*m, ctx.settings)) r.info(std::move(line));
  if (m->stat == MessageStat::ReceivedUnread) m->stat = MessageStat::ReceivedRead;
}

void handleCmgd(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  const std::string& memory = ctx.settings.readMemory;
  if (cmd.form == AtForm::Test) {
    std::string used;
    for (const auto& e : ctx.messages.list(memory)) used += (used.empty() ? "" : ",") + std::to_string(e.index);
    return r.info("+CMGD: (" + used + "),(0-4)");
  }
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  auto index = integerParameter(cmd, 0, 0, 100000);
  auto flag = integerParameter(cmd, 1, 0, 4, 0);
  if (!flag) return r.fail(Outcome::error());
  if (*flag == 0) {
    if (!index || !ctx.messages.validIndex(memory, *index)) return r.fail(Outcome::cms(CmsError::InvalidMemoryIndex));
    ctx.messages.erase(memory, *index);
    return;
  }
  // Delete flags: 1 read, 2 read and sent, 3 read, sent and unsent, 4 all.
  for (const auto& e : ctx.messages.list(memory)) {
    const MessageStat s = e.message->stat;
    const bool erase = *flag == 4 || s == MessageStat::ReceivedRead ||
                       (*flag >= 2 && s == MessageStat::StoredSent) || (*flag >= 3 && s == MessageStat::StoredUnsent);
    if (erase) ctx.messages.erase(memory, e.index);
  }
}

void sendSubmit(ModemContext& ctx, const std::string& pdu, int length, Reply& r) {
  auto submit = decodeSubmit(pdu, length);
  if (!submit) return r.fail(kBadPdu);
  if (!ctx.network.registered()) return r.fail(Outcome::cms(CmsError::NoNetworkService));
  if (submit.message->destination.empty()) return r.fail(Outcome::cms(CmsError::InvalidPduParameter));
  if (ctx.centre.serviceCentre.empty() && submit.message->serviceCentre.empty()) {
    return r.fail(Outcome::cms(CmsError::SmscAddressUnknown));
  }
  r.info("+CMGS: " + std::to_string(ctx.centre.submit(*submit.message, pdu)));
}

void handleCmgs(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  ModemContext* c = &ctx;
  if (textMode(ctx)) {
    auto address = typedAddress(ctx, cmd);
    if (!cmd.has(0) || !address) return r.fail(Outcome::cms(CmsError::InvalidTextParameter));
    const TypedMessage m = *address;
    r.promptTakesText = true;
    r.onPromptText = [c, m](const std::string& text, Reply& reply) {
      Outcome error;
      auto pdu = pduFromTypedText(text, m, c->settings, error);
      if (!pdu) return reply.fail(error);
      sendSubmit(*c, pdu->hex, pdu->tpduLength, reply);
    };
    return;
  }
  auto length = integerParameter(cmd, 0, 1, kMaxTpduLength);
  if (!length) return r.fail(Outcome::cms(CmsError::InvalidPduParameter));
  const int len = *length;
  r.onPromptText = [c, len](const std::string& pdu, Reply& reply) { sendSubmit(*c, pdu, len, reply); };
}

void storeTyped(ModemContext& ctx, const TypedMessage& m, const std::string& text, Reply& reply) {
  Outcome error;
  auto pdu = pduFromTypedText(text, m, ctx.settings, error);
  if (!pdu) return reply.fail(error);
  auto index = ctx.messages.store(ctx.settings.writeMemory, {m.stat, pdu->hex});
  if (!index) return reply.fail(Outcome::cms(CmsError::MemoryFull));
  reply.info("+CMGW: " + std::to_string(*index));
}

void handleCmgw(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  if (textMode(ctx) && (cmd.form == AtForm::Set || cmd.form == AtForm::Execute)) {
    auto address = typedAddress(ctx, cmd);
    auto stat = cmd.has(2) ? statFromName(cmd.parameter(2).text) : std::optional<int>(2);
    if (!address || !stat || *stat > 3) return r.fail(Outcome::cms(CmsError::InvalidTextParameter));
    TypedMessage m = *address;
    m.stat = static_cast<MessageStat>(*stat);
    ModemContext* c = &ctx;
    r.promptTakesText = true;
    r.onPromptText = [c, m](const std::string& text, Reply& reply) { storeTyped(*c, m, text, reply); };
    return;
  }
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  auto length = integerParameter(cmd, 0, 1, kMaxTpduLength);
  auto stat = integerParameter(cmd, 1, 0, 3, 2);
  if (!length || !stat) return r.fail(Outcome::cms(CmsError::InvalidPduParameter));
  ModemContext* c = &ctx;
  const int len = *length;
  const auto st = static_cast<MessageStat>(*stat);
  r.onPromptText = [c, len, st](const std::string& pdu, Reply& reply) {
    // Received messages are stored as SMS-DELIVER, outgoing ones as SMS-SUBMIT.
    const bool incoming = st == MessageStat::ReceivedUnread || st == MessageStat::ReceivedRead;
    if (incoming) {
      auto d = decodeDeliver(pdu, len);
      if (!d) return reply.fail(kBadPdu);
    } else {
      auto s = decodeSubmit(pdu, len);
      if (!s) return reply.fail(kBadPdu);
    }
    auto index = c->messages.store(c->settings.writeMemory, {st, pdu});
    if (!index) return reply.fail(Outcome::cms(CmsError::MemoryFull));
    reply.info("+CMGW: " + std::to_string(*index));
  };
}

void handleCmss(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) return;
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  if (auto e = simGateForMessages(ctx)) return r.fail(*e);
  auto index = integerParameter(cmd, 0, 1, 100000);
  const std::string& memory = ctx.settings.writeMemory;
  StoredMessage* m = index ? ctx.messages.find(memory, *index) : nullptr;
  if (!m) return r.fail(Outcome::cms(CmsError::InvalidMemoryIndex));
  auto submit = decodeSubmit(m->pdu);
  if (!submit) return r.fail(Outcome::cms(CmsError::OperationNotAllowed));
  if (cmd.has(1)) submit.message->destination = SmsAddress::fromText(cmd.parameter(1).text);
  if (!ctx.network.registered()) return r.fail(Outcome::cms(CmsError::NoNetworkService));
  r.info("+CMSS: " + std::to_string(ctx.centre.submit(*submit.message, m->pdu)));
  m->stat = MessageStat::StoredSent;
}

void handleCnmi(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  auto& n = ctx.settings.cnmi;
  switch (cmd.form) {
    case AtForm::Test: return r.info("+CNMI: " + ctx.profile.cnmiRanges);
    case AtForm::Read:
      return r.info("+CNMI: " + std::to_string(n.mode) + "," + std::to_string(n.mt) + "," + std::to_string(n.bm) +
                    "," + std::to_string(n.ds) + "," + std::to_string(n.bfr));
    case AtForm::Execute: return r.fail(Outcome::error());
    case AtForm::Set: break;
  }
  if (cmd.parameters.size() > 5) return r.fail(Outcome::error());
  int values[5] = {n.mode, 0, 0, 0, 0};
  for (size_t i = 0; i < 5; ++i) {
    if (!cmd.has(i)) continue;
    auto v = cmd.parameter(i).number();
    if (!v || !inRangeList(rangeGroup(ctx.profile.cnmiRanges, i), static_cast<int>(*v))) {
      return r.fail(Outcome::cms(CmsError::OperationNotSupported));
    }
    values[i] = static_cast<int>(*v);
  }
  n = {values[0], values[1], values[2], values[3], values[4]};
}

void handleCsmp(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  auto& p = ctx.settings.csmp;
  switch (cmd.form) {
    case AtForm::Test: return;
    case AtForm::Read:
      return r.info("+CSMP: " + std::to_string(p.firstOctet) + "," + std::to_string(p.validity) + "," +
                    std::to_string(p.protocolId) + "," + std::to_string(p.dataCoding));
    case AtForm::Execute: return r.fail(Outcome::error());
    case AtForm::Set: break;
  }
  auto fo = integerParameter(cmd, 0, 0, 255, p.firstOctet);
  auto vp = integerParameter(cmd, 1, 0, 255, p.validity);
  auto pid = integerParameter(cmd, 2, 0, 255, p.protocolId);
  auto dcs = integerParameter(cmd, 3, 0, 255, p.dataCoding);
  if (!fo || !vp || !pid || !dcs || (*fo & 0x03) != 1) return r.fail(Outcome::cms(CmsError::InvalidTextParameter));
  p = {*fo, *vp, *pid, *dcs};
}

}  // namespace

void registerSmsCommands(CommandTable& t) {
  t.add("+CSMP", handleCsmp);
  t.add("+CSCA", handleCsca);
  t.add("+CPMS", handleCpms);
  t.add("+CMGL", handleCmgl);
  t.add("+CMGR", handleCmgr);
  t.add("+CMGD", handleCmgd);
  t.add("+CMGS", handleCmgs);
  t.add("+CMGW", handleCmgw);
  t.add("+CMSS", handleCmss);
  t.add("+CNMI", handleCnmi);
}

}  // namespace fonexa::sim
