// Phone books (GSM 07.07): selecting a book (+CPBS), reading (+CPBR),
// writing and deleting (+CPBW) and finding (+CPBF). Names travel in the
// character set of +CSCS.
#include <cctype>
#include <cstdio>

#include "sim/codec/CharacterSet.h"
#include "sim/commands/CommandModules.h"

namespace fonexa::sim {
namespace {

PhoneBook* current(ModemContext& ctx) { return ctx.phoneBooks.find(ctx.settings.phoneBook); }

std::string entryLine(ModemContext& ctx, const PhoneBook& book, int index, const PhoneBookEntry& e) {
  std::string line = "+CPBR: " + std::to_string(index) + "," + quoted(e.number) + "," + std::to_string(e.type) + "," +
                     quoted(CharacterSet::encode(e.text, ctx.settings.charset));
  if (ctx.profile.callListTimeStamps && !book.userWritable() && e.time) {
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d,%02d:%02d", e.time->year % 100, e.time->month, e.time->day,
                  e.time->hour, e.time->minute);
    line += "," + quoted(stamp);
  }
  return line;
}

void handleCpbs(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Test) {
    std::string list;
    for (const auto& name : ctx.phoneBooks.names()) list += (list.empty() ? "" : ",") + quoted(name);
    return r.info("+CPBS: (" + list + ")");
  }
  if (cmd.form == AtForm::Execute) return r.fail(Outcome::error());
  if (auto e = simGate(ctx)) return r.fail(*e);
  if (cmd.form == AtForm::Read) {
    PhoneBook* book = current(ctx);
    return r.info("+CPBS: " + quoted(book->name()) + "," + std::to_string(book->entries.size()) + "," +
                  std::to_string(book->capacity()));
  }
  if (!cmd.has(0) || !ctx.phoneBooks.find(cmd.parameter(0).text)) {
    return r.fail(Outcome::cme(CmeError::OperationNotSupported));
  }
  ctx.settings.phoneBook = cmd.parameter(0).text;
}

void handleCpbr(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Read || cmd.form == AtForm::Execute) return r.fail(Outcome::error());
  if (auto e = simGate(ctx)) return r.fail(*e);
  PhoneBook* book = current(ctx);
  const auto& layout = book->layout();
  if (cmd.form == AtForm::Test) {
    return r.info("+CPBR: (1-" + std::to_string(layout.capacity) + ")," + std::to_string(layout.numberLength) + "," +
                  std::to_string(layout.textLength));
  }
  auto first = integerParameter(cmd, 0, 0, 100000);
  auto last = integerParameter(cmd, 1, 0, 100000, first.value_or(0));
  if (!first || !last || !book->validIndex(*first) || !book->validIndex(*last) || *last < *first) {
    return r.fail(Outcome::cme(CmeError::InvalidIndex));
  }
  for (auto it = book->entries.lower_bound(*first); it != book->entries.end() && it->first <= *last; ++it) {
    r.info(entryLine(ctx, *book, it->first, it->second));
  }
}

bool isDialCharacter(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || c == 'p' || c == 'P' || c == 'w' ||
         c == 'W' || c == ',';
}

void handleCpbw(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (cmd.form == AtForm::Read || cmd.form == AtForm::Execute) return r.fail(Outcome::error());
  if (auto e = simGate(ctx)) return r.fail(*e);
  PhoneBook* book = current(ctx);
  const auto& layout = book->layout();
  if (cmd.form == AtForm::Test) {
    return r.info("+CPBW: (1-" + std::to_string(layout.capacity) + ")," + std::to_string(layout.numberLength) +
                  ",(129,145,161)," + std::to_string(layout.textLength));
  }
  auto index = integerParameter(cmd, 0, 0, 100000);
  if (cmd.has(0) && (!index || !book->validIndex(*index))) return r.fail(Outcome::cme(CmeError::InvalidIndex));
  if (book->kind() == "FD") {
    if (auto e = ctx.sim.requirePin2()) return r.fail(Outcome::cme(*e));
  }
  const bool erase = cmd.parameter(1).text.empty() && cmd.parameter(3).text.empty();
  if (erase) {
    if (!cmd.has(0)) return r.fail(Outcome::error());
    book->entries.erase(*index);
    return;
  }
  if (!book->userWritable()) return r.fail(Outcome::cme(CmeError::OperationNotAllowed));
  PhoneBookEntry entry;
  std::string number = cmd.parameter(1).text;
  const bool international = !number.empty() && number[0] == '+';
  for (size_t i = international ? 1 : 0; i < number.size(); ++i) {
    if (!isDialCharacter(number[i])) return r.fail(Outcome::cme(CmeError::InvalidDialCharacters));
  }
  if (number.size() - (international ? 1 : 0) > static_cast<size_t>(layout.numberLength)) {
    return r.fail(Outcome::cme(CmeError::DialStringTooLong));
  }
  auto type = integerParameter(cmd, 2, 128, 255, international ? 145 : 129);
  if (!type) return r.fail(Outcome::error());
  entry.type = *type;
  // Numbers are kept with "+" exactly when their type is international.
  if (entry.type == 145 && !international && !number.empty()) number.insert(0, "+");
  if (entry.type != 145 && international) entry.type = 145;
  entry.number = number;
  auto text = CharacterSet::decode(cmd.parameter(3).text, ctx.settings.charset);
  if (!text) return r.fail(Outcome::cme(CmeError::InvalidTextCharacters));
  if (CharacterSet::length(*text) > static_cast<size_t>(layout.textLength)) {
    return r.fail(Outcome::cme(CmeError::TextTooLong));
  }
  entry.text = *text;
  if (!cmd.has(0)) {
    index = book->firstFree();
    if (!index) return r.fail(Outcome::cme(CmeError::MemoryFull));
  }
  book->entries[*index] = entry;
}

void handleCpbf(ModemContext& ctx, const AtCommand& cmd, Reply& r) {
  if (auto e = simGate(ctx)) return r.fail(*e);
  PhoneBook* book = current(ctx);
  if (cmd.form == AtForm::Test) {
    return r.info("+CPBF: " + std::to_string(book->layout().numberLength) + "," +
                  std::to_string(book->layout().textLength));
  }
  if (cmd.form != AtForm::Set) return r.fail(Outcome::error());
  auto wanted = CharacterSet::decode(cmd.parameter(0).text, ctx.settings.charset);
  if (!wanted) return r.fail(Outcome::cme(CmeError::InvalidTextCharacters));
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (const auto& [index, e] : book->entries) {
    if (lower(e.text).rfind(lower(*wanted), 0) == 0) {
      std::string line = entryLine(ctx, *book, index, e);
      r.info("+CPBF" + line.substr(5));
    }
  }
  if (r.lines.empty()) r.fail(Outcome::cme(CmeError::NotFound));
}

}  // namespace

void registerPhoneBookCommands(CommandTable& t) {
  t.add("+CPBS", handleCpbs);
  t.add("+CPBR", handleCpbr);
  t.add("+CPBW", handleCpbw);
  t.add("+CPBF", handleCpbf);
}

}  // namespace fonexa::sim
