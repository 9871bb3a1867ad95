#include "Output.h"

#include <algorithm>

namespace fonexa::cli {

std::string shown(const Json& value) {
  if (value.is_null()) return "-";
  if (value.is_string()) return value.get<std::string>();
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  return value.dump();
}

namespace {

// Keys are snake_case for JSON; people read them with spaces.
std::string label(const std::string& key) {
  std::string text = key;
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

}  // namespace

void Output::printJson(const Json& value) {
  // Engine texts were converted to UTF-8 on the way in; replacing keeps a
  // stray byte from costing the whole answer.
  std::fprintf(out_, "%s\n", value.dump(compact_ ? -1 : 2, ' ', false, Json::error_handler_t::replace).c_str());
  std::fflush(out_);
}

void Output::recordLines(const Json& object, int indent) {
  size_t width = 0;
  for (const auto& [key, value] : object.items()) width = std::max(width, key.size());
  for (const auto& [key, value] : object.items()) {
    const std::string name = label(key) + ":";
    if (value.is_object()) {
      std::fprintf(out_, "%*s%s\n", indent, "", name.c_str());
      recordLines(value, indent + 2);
    } else if (value.is_array()) {
      std::string items;
      for (const auto& item : value) items += (items.empty() ? "" : ", ") + shown(item);
      std::fprintf(out_, "%*s%-*s %s\n", indent, "", static_cast<int>(width + 1), name.c_str(), items.c_str());
    } else {
      std::fprintf(out_, "%*s%-*s %s\n", indent, "", static_cast<int>(width + 1), name.c_str(),
                   shown(value).c_str());
    }
  }
}

void Output::record(const Json& object) {
  if (json_) return printJson(object);
  recordLines(object, 0);
  std::fflush(out_);
}

void Output::table(const Json& rows, const std::vector<Column>& columns, const std::string& empty) {
  if (json_) return printJson(rows);
  if (rows.empty()) {
    std::fprintf(out_, "%s\n", empty.c_str());
    std::fflush(out_);
    return;
  }
  std::vector<size_t> widths;
  for (const Column& column : columns) {
    size_t width = column.heading.size();
    for (const auto& row : rows) width = std::max(width, shown(row.value(column.key, Json())).size());
    widths.push_back(width);
  }
  auto line = [&](auto cell) {
    std::string text;
    for (size_t i = 0; i < columns.size(); ++i) {
      std::string value = cell(i);
      // The last column runs free: a message text is not padded out.
      if (i + 1 < columns.size()) value.resize(std::max(value.size(), widths[i]), ' ');
      text += (i ? "  " : "") + value;
    }
    std::fprintf(out_, "%s\n", text.c_str());
  };
  line([&](size_t i) { return columns[i].heading; });
  for (const auto& row : rows) line([&](size_t i) { return shown(row.value(columns[i].key, Json())); });
  std::fflush(out_);
}

void Output::result(const std::string& text, const Json& object) {
  if (json_) return printJson(object);
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void Output::note(const std::string& text) {
  if (json_) return;
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void Output::streamed(const std::string& text, const Json& object) {
  if (json_) {
    std::fprintf(out_, "%s\n", object.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
  } else {
    std::fprintf(out_, "%s\n", text.c_str());
  }
  std::fflush(out_);
}

}  // namespace fonexa::cli
