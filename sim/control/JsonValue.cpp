#include "sim/control/JsonValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "sim/codec/UnicodeText.h"

namespace fonexa::sim {
namespace {

void writeString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonValue> document(std::string* error) {
    auto v = value(0);
    skip();
    if (v && pos_ != text_.size()) v.reset();
    if (!v && error) *error = "invalid JSON near offset " + std::to_string(pos_);
    return v;
  }

 private:
  void skip() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' || text_[pos_] == '\t')) ++pos_;
  }
  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<std::string> string() {
    if (pos_ >= text_.size() || text_[pos_] != '"') return std::nullopt;
    ++pos_;
    std::string out;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return std::nullopt;
      const char e = text_[pos_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (pos_ + 4 > text_.size()) return std::nullopt;
          const std::string hex(text_.substr(pos_, 4));
          pos_ += 4;
          char* end = nullptr;
          const long cp = std::strtol(hex.c_str(), &end, 16);
          if (end != hex.c_str() + 4) return std::nullopt;
          appendUtf8(out, static_cast<char32_t>(cp));
          break;
        }
        default: out += e; break;
      }
    }
    return std::nullopt;
  }

  std::optional<JsonValue> value(int depth) {
    if (depth > 64) return std::nullopt;
    skip();
    if (pos_ >= text_.size()) return std::nullopt;
    const char c = text_[pos_];
    if (c == '{') {
      ++pos_;
      JsonValue obj = JsonValue::object();
      skip();
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        return obj;
      }
      for (;;) {
        skip();
        auto key = string();
        if (!key) return std::nullopt;
        skip();
        if (pos_ >= text_.size() || text_[pos_++] != ':') return std::nullopt;
        auto v = value(depth + 1);
        if (!v) return std::nullopt;
        obj.set(*key, std::move(*v));
        skip();
        if (pos_ < text_.size() && text_[pos_] == ',') {
          ++pos_;
          continue;
        }
        if (pos_ < text_.size() && text_[pos_] == '}') {
          ++pos_;
          return obj;
        }
        return std::nullopt;
      }
    }
    if (c == '[') {
      ++pos_;
      JsonValue arr = JsonValue::array();
      skip();
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        return arr;
      }
      for (;;) {
        auto v = value(depth + 1);
        if (!v) return std::nullopt;
        arr.push(std::move(*v));
        skip();
        if (pos_ < text_.size() && text_[pos_] == ',') {
          ++pos_;
          continue;
        }
        if (pos_ < text_.size() && text_[pos_] == ']') {
          ++pos_;
          return arr;
        }
        return std::nullopt;
      }
    }
    if (c == '"') {
      auto s = string();
      if (!s) return std::nullopt;
      return JsonValue(std::move(*s));
    }
    if (literal("true")) return JsonValue(true);
    if (literal("false")) return JsonValue(false);
    if (literal("null")) return JsonValue();
    const size_t start = pos_;
    while (pos_ < text_.size() && std::string_view("+-0123456789.eE").find(text_[pos_]) != std::string_view::npos) ++pos_;
    if (start == pos_) return std::nullopt;
    const std::string number(text_.substr(start, pos_ - start));
    char* end = nullptr;
    const double d = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return std::nullopt;
    return JsonValue(d);
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](std::string_view key) const {
  static const JsonValue kNull;
  for (const auto& [k, v] : members_) {
    if (k == key) return v;
  }
  return kNull;
}

bool JsonValue::has(std::string_view key) const {
  for (const auto& [k, v] : members_) {
    if (k == key) return true;
  }
  return false;
}

JsonValue& JsonValue::push(JsonValue v) {
  type_ = Type::Array;
  items_.push_back(std::move(v));
  return items_.back();
}

JsonValue& JsonValue::set(const std::string& key, JsonValue v) {
  type_ = Type::Object;
  for (auto& [k, existing] : members_) {
    if (k == key) {
      existing = std::move(v);
      return existing;
    }
  }
  members_.emplace_back(key, std::move(v));
  return members_.back().second;
}

void JsonValue::write(std::string& out, int indent, int depth) const {
  const std::string pad = indent > 0 ? "\n" + std::string(static_cast<size_t>(indent * (depth + 1)), ' ') : "";
  const std::string end = indent > 0 ? "\n" + std::string(static_cast<size_t>(indent * depth), ' ') : "";
  switch (type_) {
    case Type::Null: out += "null"; break;
    case Type::Bool: out += bool_ ? "true" : "false"; break;
    case Type::Number: {
      char buf[32];
      if (std::floor(number_) == number_ && std::fabs(number_) < 1e15) {
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(number_));
      } else {
        std::snprintf(buf, sizeof buf, "%.17g", number_);
      }
      out += buf;
      break;
    }
    case Type::String: writeString(out, string_); break;
    case Type::Array:
      if (items_.empty()) {
        out += "[]";
        break;
      }
      out += '[';
      for (size_t i = 0; i < items_.size(); ++i) {
        out += i ? "," + pad : pad;
        items_[i].write(out, indent, depth + 1);
      }
      out += end + "]";
      break;
    case Type::Object:
      if (members_.empty()) {
        out += "{}";
        break;
      }
      out += '{';
      for (size_t i = 0; i < members_.size(); ++i) {
        out += i ? "," + pad : pad;
        writeString(out, members_[i].first);
        out += indent > 0 ? ": " : ":";
        members_[i].second.write(out, indent, depth + 1);
      }
      out += end + "}";
      break;
  }
}

std::string JsonValue::dump(int indent) const {
  std::string out;
  write(out, indent, 0);
  return out;
}

std::optional<JsonValue> JsonValue::parse(std::string_view text, std::string* error) {
  return Reader(text).document(error);
}

}  // namespace fonexa::sim
