#include "sim/at/AtCommandLine.h"

#include <cctype>

namespace fonexa::sim {
namespace {

bool isExtendedPrefix(char c) { return c == '+' || c == '*' || c == '^' || c == '$' || c == '%' || c == '#'; }

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '!' || c == '%' || c == '-' || c == '.' || c == '/' ||
         c == ':' || c == '_';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  bool done() const { return pos_ >= text_.size(); }
  char peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  char get() { return done() ? '\0' : text_[pos_++]; }
  void skipSpaces() {
    while (!done() && text_[pos_] == ' ') ++pos_;
  }
  size_t position() const { return pos_; }
  std::string_view slice(size_t from) const { return text_.substr(from, pos_ - from); }

  // A quoted string from the opening quote on. Phones take a quote inside a
  // name ("Smith, "Bob"") as part of it unless a separator follows it; the
  // V.250 escape \22 means the same and is understood as well.
  std::optional<std::string> quoted() {
    get();  // opening quote
    std::string out;
    while (!done()) {
      const char c = get();
      if (c == '"') {
        size_t k = pos_;
        while (k < text_.size() && text_[k] == ' ') ++k;
        if (k >= text_.size() || text_[k] == ',' || text_[k] == ';') return out;
        out += c;
      } else if (c == '\\' && hexValue(peek()) >= 0 && hexValue(peek(1)) >= 0) {
        out += static_cast<char>(hexValue(get()) * 16 + hexValue(get()));
      } else {
        out += c;
      }
    }
    return std::nullopt;  // no closing quote before the end of the line
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Parameters of an extended set command, up to ';' or the end of the line.
bool parseParameters(Scanner& s, std::vector<AtParameter>& out) {
  for (;;) {
    s.skipSpaces();
    AtParameter p;
    if (s.peek() == '"') {
      auto text = s.quoted();
      if (!text) return false;
      p.present = true;
      p.quoted = true;
      p.text = std::move(*text);
      s.skipSpaces();
    } else {
      while (!s.done() && s.peek() != ',' && s.peek() != ';') {
        const char c = s.get();
        if (c == '"') return false;  // a quote in the middle of a bare value
        if (c != ' ') p.text += c;
      }
      p.present = !p.text.empty();
    }
    out.push_back(std::move(p));
    if (s.peek() == ',') {
      s.get();
      continue;
    }
    return s.done() || s.peek() == ';';
  }
}

bool parseExtended(Scanner& s, AtCommand& cmd) {
  const size_t start = s.position();
  s.get();  // prefix character
  while (isNameChar(s.peek())) s.get();
  cmd.name = upper(s.slice(start));
  if (cmd.name.size() < 2) return false;
  s.skipSpaces();
  if (s.peek() == '=' && s.peek(1) == '?') {
    s.get();
    s.get();
    cmd.form = AtForm::Test;
  } else if (s.peek() == '?') {
    s.get();
    cmd.form = AtForm::Read;
  } else if (s.peek() == '=') {
    s.get();
    cmd.form = AtForm::Set;
    if (!parseParameters(s, cmd.parameters)) return false;
  }
  s.skipSpaces();
  return s.done() || s.peek() == ';';
}

// D takes the rest of the line up to a ';' (which it keeps: the ';' makes
// the call a voice call) or to the end.
void parseDial(Scanner& s, AtCommand& cmd) {
  bool inQuotes = false;
  while (!s.done()) {
    const char c = s.get();
    if (c == '"') inQuotes = !inQuotes;
    if (c == ' ' && !inQuotes) continue;
    cmd.argument += c;
    if (c == ';' && !inQuotes) break;
  }
}

bool parseBasic(Scanner& s, AtCommand& cmd) {
  std::string name(1, static_cast<char>(std::toupper(static_cast<unsigned char>(s.get()))));
  if (name == "&") {
    if (!std::isalpha(static_cast<unsigned char>(s.peek()))) return false;
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(s.get())));
  }
  cmd.name = name;
  if (name == "D") {
    parseDial(s, cmd);
    return true;
  }
  if (name == "S") {
    while (std::isdigit(static_cast<unsigned char>(s.peek()))) cmd.argument += s.get();
    if (cmd.argument.empty()) return false;
    s.skipSpaces();
    if (s.peek() == '?') {
      s.get();
      cmd.form = AtForm::Read;
    } else if (s.peek() == '=') {
      s.get();
      s.skipSpaces();
      if (s.peek() == '?') {
        s.get();
        cmd.form = AtForm::Test;
        return true;
      }
      cmd.form = AtForm::Set;
      AtParameter value;
      while (std::isdigit(static_cast<unsigned char>(s.peek()))) value.text += s.get();
      value.present = !value.text.empty();
      cmd.parameters.push_back(value);
    }
    return true;
  }
  if (!std::isalpha(static_cast<unsigned char>(name.back()))) return false;
  while (std::isdigit(static_cast<unsigned char>(s.peek()))) cmd.argument += s.get();
  if (s.peek() == '?' ) {
    s.get();
    cmd.form = AtForm::Read;
  } else if (s.peek() == '=' && s.peek(1) == '?') {
    s.get();
    s.get();
    cmd.form = AtForm::Test;
  }
  return true;
}

}  // namespace

std::optional<long> AtParameter::number() const {
  if (!present || text.empty() || text.size() > 9) return std::nullopt;
  long v = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

const AtParameter& AtCommand::parameter(size_t i) const {
  static const AtParameter kAbsent;
  return i < parameters.size() ? parameters[i] : kAbsent;
}

std::optional<std::vector<AtCommand>> parseCommandLine(std::string_view body) {
  std::vector<AtCommand> commands;
  Scanner s(body);
  for (;;) {
    s.skipSpaces();
    if (s.done()) break;
    if (s.peek() == ';') {
      s.get();
      continue;
    }
    AtCommand cmd;
    const size_t start = s.position();
    const char c = s.peek();
    bool ok = false;
    if (isExtendedPrefix(c)) {
      ok = parseExtended(s, cmd);
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '&') {
      ok = parseBasic(s, cmd);
    }
    if (!ok) return std::nullopt;
    cmd.text = std::string(s.slice(start));
    commands.push_back(std::move(cmd));
  }
  return commands;
}

}  // namespace fonexa::sim
