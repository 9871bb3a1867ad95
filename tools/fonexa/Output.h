#pragma once
// What a command prints on standard output: plain text for people, or with
// --json one JSON document per command (one object per line for streams such
// as the monitor's events). Every value comes in as JSON, so both forms carry
// the same fields; the text form is drawn from it.
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace fonexa::cli {

using Json = nlohmann::ordered_json;

// A column of a text table: the field's key and its heading.
struct Column {
  std::string key;
  std::string heading;
};

class Output {
 public:
  explicit Output(bool json, std::FILE* out = stdout) : json_(json), out_(out) {}
  bool json() const { return json_; }
  // Every JSON document on one line, so that a run of several commands
  // (the demo) is a stream of JSON lines.
  void setCompact(bool compact) { compact_ = compact; }

  // An object: "key: value" lines, nested objects indented.
  void record(const Json& object);
  // An array of objects: a table of the columns, or `empty` when there is
  // nothing in it. JSON prints the array with every field.
  void table(const Json& rows, const std::vector<Column>& columns, const std::string& empty);
  // The result of an action: a sentence for people, the object for JSON.
  void result(const std::string& text, const Json& object);
  // A line of text in text mode only (headings, hints).
  void note(const std::string& text);
  // One object on one line at once, for streams read as they arrive.
  void streamed(const std::string& text, const Json& object);

 private:
  void printJson(const Json& value);
  void recordLines(const Json& object, int indent);

  bool json_;
  bool compact_ = false;
  std::FILE* out_;
};

// The text form of a scalar JSON value: strings as they are, null as "-".
std::string shown(const Json& value);

}  // namespace fonexa::cli
