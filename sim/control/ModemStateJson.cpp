#include "sim/control/ModemStateJson.h"

#include <algorithm>
#include <cstdio>

#include "sim/codec/SmsPdu.h"

namespace fonexa::sim {
namespace {

constexpr const char* kSimStates[] = {"ready", "pin", "puk", "phone-code", "absent", "blocked"};
constexpr const char* kCallStates[] = {"active", "held", "dialling", "alerting", "incoming", "waiting"};

JsonValue concatenationJson(const std::optional<ConcatenationInfo>& c) {
  if (!c) return JsonValue();
  JsonValue v = JsonValue::object();
  v.set("reference", c->reference);
  v.set("total", c->total);
  v.set("sequence", c->sequence);
  return v;
}

JsonValue messagesJson(ModemContext& ctx, const std::string& memory) {
  JsonValue m = JsonValue::object();
  m.set("capacity", ctx.messages.capacity(memory));
  m.set("used", ctx.messages.used(memory));
  JsonValue entries = JsonValue::array();
  for (const auto& e : ctx.messages.list(memory)) {
    const PduSummary s = summarizePdu(e.message->pdu);
    JsonValue v = JsonValue::object();
    v.set("index", e.index);
    v.set("stat", static_cast<int>(e.message->stat));
    v.set("type", s.type);
    v.set("number", s.number);
    v.set("text", s.text);
    if (!s.time.empty()) v.set("time", s.time);
    if (s.concatenation) v.set("concatenation", concatenationJson(s.concatenation));
    v.set("pdu", e.message->pdu);
    entries.push(std::move(v));
  }
  m.set("entries", std::move(entries));
  return m;
}

std::string stampText(const SmsTimestamp& t) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d,%02d:%02d", t.year % 100, t.month, t.day, t.hour, t.minute);
  return buf;
}

bool loadMessages(ModemContext& ctx, const std::string& memory, const JsonValue& list, std::string& error) {
  for (const auto& e : list.items()) {
    const int index = e["index"].asInt(0);
    StoredMessage m;
    m.stat = static_cast<MessageStat>(std::clamp(e["stat"].asInt(0), 0, 3));
    m.pdu = e["pdu"].asString();
    if (m.pdu.empty()) {
      DeliverRequest r;
      r.originator = e["number"].asString(e["from"].asString());
      r.text = e["text"].asString();
      r.serviceCentre = ctx.centre.serviceCentre;
      m.pdu = buildDeliverParts(r).front().hex;
    }
    if (tpduLengthOf(m.pdu) < 0) {
      error = "message " + std::to_string(index) + " in " + memory + " has no valid PDU";
      return false;
    }
    const bool stored = index > 0 ? ctx.messages.storeAt(memory, index, m) : ctx.messages.store(memory, m).has_value();
    if (!stored) {
      error = "no room for message " + std::to_string(index) + " in " + memory;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string simStateName(SimState state) { return kSimStates[static_cast<int>(state)]; }
std::string callStateName(CallState state) { return kCallStates[static_cast<int>(state)]; }

JsonValue stateToJson(ModemContext& ctx) {
  JsonValue root = JsonValue::object();

  JsonValue profile = JsonValue::object();
  profile.set("id", ctx.profile.id);
  profile.set("manufacturer", ctx.profile.manufacturer);
  profile.set("model", ctx.profile.model);
  profile.set("revision", ctx.profile.revision);
  profile.set("imei", ctx.profile.imei);
  profile.set("ownNumber", ctx.profile.ownNumber);
  root.set("profile", std::move(profile));

  const auto& s = ctx.settings;
  JsonValue settings = JsonValue::object();
  settings.set("echo", s.echo);
  settings.set("verbose", s.verbose);
  settings.set("cmee", s.cmee);
  settings.set("cmgf", s.cmgf);
  settings.set("charset", s.charset);
  JsonValue cnmi = JsonValue::array();
  for (int v : {s.cnmi.mode, s.cnmi.mt, s.cnmi.bm, s.cnmi.ds, s.cnmi.bfr}) cnmi.push(v);
  settings.set("cnmi", std::move(cnmi));
  settings.set("clip", s.clip);
  settings.set("crc", s.crc);
  settings.set("creg", s.cregMode);
  JsonValue memories = JsonValue::array();
  for (const auto& m : {s.readMemory, s.writeMemory, s.receiveMemory}) memories.push(m);
  settings.set("messageMemories", std::move(memories));
  settings.set("phoneBook", s.phoneBook);
  root.set("settings", std::move(settings));

  JsonValue sim = JsonValue::object();
  sim.set("state", simStateName(ctx.sim.state()));
  sim.set("cpin", ctx.sim.cpinText().value_or(""));
  sim.set("pinEnabled", ctx.sim.pinEnabled());
  sim.set("fixedDialling", ctx.sim.fixedDialling());
  sim.set("phoneLocked", ctx.sim.phoneLocked());
  JsonValue attempts = JsonValue::object();
  attempts.set("pin", ctx.sim.pinAttempts());
  attempts.set("puk", ctx.sim.pukAttempts());
  attempts.set("pin2", ctx.sim.pin2Attempts());
  attempts.set("puk2", ctx.sim.puk2Attempts());
  sim.set("attempts", std::move(attempts));
  JsonValue codes = JsonValue::object();
  codes.set("pin", ctx.sim.codes().pin);
  codes.set("puk", ctx.sim.codes().puk);
  codes.set("pin2", ctx.sim.codes().pin2);
  codes.set("puk2", ctx.sim.codes().puk2);
  codes.set("phone", ctx.sim.codes().phoneCode);
  sim.set("codes", std::move(codes));
  root.set("sim", std::move(sim));

  JsonValue network = JsonValue::object();
  network.set("rssi", ctx.network.rssi);
  network.set("ber", ctx.network.ber);
  network.set("registration", static_cast<int>(ctx.network.registration()));
  network.set("operator", ctx.network.currentOperator());
  network.set("selectionMode", ctx.network.selectionMode());
  network.set("home", ctx.network.homeNetwork);
  JsonValue visible = JsonValue::array();
  for (const auto& n : ctx.network.visible) {
    JsonValue v = JsonValue::object();
    v.set("numeric", n.numeric);
    v.set("forbidden", n.forbidden);
    visible.push(std::move(v));
  }
  network.set("visible", std::move(visible));
  root.set("network", std::move(network));

  JsonValue calls = JsonValue::array();
  for (const auto& c : ctx.calls.calls()) {
    JsonValue v = JsonValue::object();
    v.set("id", c.id);
    v.set("direction", c.incoming ? "incoming" : "outgoing");
    v.set("state", callStateName(c.state));
    v.set("multiparty", c.multiparty);
    v.set("number", c.number);
    v.set("type", c.type);
    calls.push(std::move(v));
  }
  root.set("calls", std::move(calls));

  root.set("serviceCentre", ctx.centre.serviceCentre);
  JsonValue messages = JsonValue::object();
  messages.set("SM", messagesJson(ctx, "SM"));
  messages.set("ME", messagesJson(ctx, "ME"));
  root.set("messages", std::move(messages));

  JsonValue sent = JsonValue::array();
  for (const auto& m : ctx.centre.sent()) {
    JsonValue v = JsonValue::object();
    v.set("reference", m.reference);
    v.set("destination", m.destination);
    v.set("text", m.text);
    v.set("alphabet", m.alphabet);
    v.set("class", m.messageClass);
    v.set("concatenation", concatenationJson(m.concatenation));
    v.set("statusReport", m.statusReportRequested);
    v.set("pdu", m.pdu);
    sent.push(std::move(v));
  }
  root.set("sent", std::move(sent));
  JsonValue sentTexts = JsonValue::array();
  for (const auto& [to, text] : ctx.centre.sentTexts()) {
    JsonValue v = JsonValue::object();
    v.set("destination", to);
    v.set("text", text);
    sentTexts.push(std::move(v));
  }
  root.set("sentTexts", std::move(sentTexts));

  JsonValue books = JsonValue::object();
  for (const auto& b : ctx.phoneBooks.books()) {
    JsonValue book = JsonValue::object();
    book.set("capacity", b.capacity());
    JsonValue entries = JsonValue::array();
    for (const auto& [index, e] : b.entries) {
      JsonValue v = JsonValue::object();
      v.set("index", index);
      v.set("number", e.number);
      v.set("type", e.type);
      v.set("text", e.text);
      if (e.time) v.set("time", stampText(*e.time));
      entries.push(std::move(v));
    }
    book.set("entries", std::move(entries));
    books.set(b.name(), std::move(book));
  }
  root.set("phoneBooks", std::move(books));

  JsonValue clock = JsonValue::object();
  clock.set("now", ctx.clock.now().toText());
  clock.set("offsetSeconds", static_cast<double>(ctx.clock.offsetSeconds()));
  root.set("clock", std::move(clock));
  return root;
}

bool applyStateJson(ModemContext& ctx, const JsonValue& state, std::string& error) {
  if (!state.isObject()) {
    error = "the state is not a JSON object";
    return false;
  }
  if (const JsonValue& sim = state["sim"]; sim.isObject()) {
    SimCodes codes = ctx.sim.codes();
    const JsonValue& c = sim["codes"];
    codes.pin = c["pin"].asString(codes.pin);
    codes.puk = c["puk"].asString(codes.puk);
    codes.pin2 = c["pin2"].asString(codes.pin2);
    codes.puk2 = c["puk2"].asString(codes.puk2);
    codes.phoneCode = c["phone"].asString(codes.phoneCode);
    ctx.sim.setCodes(codes);
    ctx.sim.setPinEnabled(sim["pinEnabled"].asBool(ctx.sim.pinEnabled()));
    ctx.sim.setFixedDialling(sim["fixedDialling"].asBool(ctx.sim.fixedDialling()));
    ctx.sim.setPhoneLocked(sim["phoneLocked"].asBool(ctx.sim.phoneLocked()));
    const JsonValue& a = sim["attempts"];
    ctx.sim.setAttempts(a["pin"].asInt(ctx.sim.pinAttempts()), a["puk"].asInt(ctx.sim.pukAttempts()),
                        a["pin2"].asInt(ctx.sim.pin2Attempts()), a["puk2"].asInt(ctx.sim.puk2Attempts()));
    if (sim["state"].asString() == "absent") ctx.sim.insert(false);
  }
  if (const JsonValue& net = state["network"]; net.isObject()) {
    ctx.network.rssi = net["rssi"].asInt(ctx.network.rssi);
    ctx.network.ber = net["ber"].asInt(ctx.network.ber);
    ctx.network.homeNetwork = net["home"].asString(ctx.network.homeNetwork);
    if (net["visible"].isArray()) {
      ctx.network.visible.clear();
      for (const auto& v : net["visible"].items()) {
        ctx.network.visible.push_back({v["numeric"].asString(), v["forbidden"].asBool(false)});
      }
    }
  }
  ctx.centre.serviceCentre = state["serviceCentre"].asString(ctx.centre.serviceCentre);
  if (const JsonValue& messages = state["messages"]; messages.isObject()) {
    for (const auto& [memory, content] : messages.members()) {
      if (memory != "SM" && memory != "ME") {
        error = "unknown message memory " + memory;
        return false;
      }
      if (!loadMessages(ctx, memory, content["entries"], error)) return false;
    }
  }
  if (const JsonValue& books = state["phoneBooks"]; books.isObject()) {
    for (const auto& [name, content] : books.members()) {
      PhoneBook* book = ctx.phoneBooks.find(name);
      if (!book) {
        error = "unknown phone book " + name;
        return false;
      }
      book->entries.clear();
      for (const auto& e : content["entries"].items()) {
        const int index = e["index"].asInt(0);
        if (!book->validIndex(index)) {
          error = "index " + std::to_string(index) + " outside phone book " + name;
          return false;
        }
        PhoneBookEntry entry;
        entry.number = e["number"].asString();
        entry.type = e["type"].asInt(!entry.number.empty() && entry.number[0] == '+' ? 145 : 129);
        entry.text = e["text"].asString();
        book->entries[index] = entry;
      }
    }
  }
  if (const JsonValue& clock = state["clock"]; clock.isObject()) {
    ctx.clock.setOffsetSeconds(static_cast<int64_t>(clock["offsetSeconds"].asNumber(0)));
  }
  return true;
}

}  // namespace fonexa::sim
