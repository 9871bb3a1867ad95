#pragma once
// A small JSON value with a reader and a writer, for the modem's state dumps
// and state files. Objects keep their members in order.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fonexa::sim {

class JsonValue {
 public:
  enum class Type { Null, Bool, Number, String, Array, Object };

  JsonValue() = default;
  JsonValue(bool b) : type_(Type::Bool), bool_(b) {}
  JsonValue(int n) : type_(Type::Number), number_(n) {}
  JsonValue(long n) : type_(Type::Number), number_(static_cast<double>(n)) {}
  JsonValue(double n) : type_(Type::Number), number_(n) {}
  JsonValue(const char* s) : type_(Type::String), string_(s) {}
  JsonValue(std::string s) : type_(Type::String), string_(std::move(s)) {}
  static JsonValue array() { JsonValue v; v.type_ = Type::Array; return v; }
  static JsonValue object() { JsonValue v; v.type_ = Type::Object; return v; }

  Type type() const { return type_; }
  bool isNull() const { return type_ == Type::Null; }
  bool isObject() const { return type_ == Type::Object; }
  bool isArray() const { return type_ == Type::Array; }

  // Readers with a fallback for a missing member or another type.
  bool asBool(bool fallback = false) const { return type_ == Type::Bool ? bool_ : fallback; }
  double asNumber(double fallback = 0) const { return type_ == Type::Number ? number_ : fallback; }
  int asInt(int fallback = 0) const { return type_ == Type::Number ? static_cast<int>(number_) : fallback; }
  std::string asString(const std::string& fallback = "") const { return type_ == Type::String ? string_ : fallback; }
  const std::vector<JsonValue>& items() const { return items_; }
  const std::vector<std::pair<std::string, JsonValue>>& members() const { return members_; }

  // Member access; a missing member reads as null.
  const JsonValue& operator[](std::string_view key) const;
  bool has(std::string_view key) const;

  JsonValue& push(JsonValue v);
  JsonValue& set(const std::string& key, JsonValue v);

  std::string dump(int indent = 2) const;
  static std::optional<JsonValue> parse(std::string_view text, std::string* error = nullptr);

 private:
  void write(std::string& out, int indent, int depth) const;

  Type type_ = Type::Null;
  bool bool_ = false;
  double number_ = 0;
  std::string string_;
  std::vector<JsonValue> items_;
  std::vector<std::pair<std::string, JsonValue>> members_;
};

}  // namespace fonexa::sim
