#include "PhoneBookFiles.h"

#include <algorithm>
#include <cctype>

namespace fonexa::cli {

namespace {

std::string lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// ---- vCard ------------------------------------------------------------------

// RFC 2426 section 4: backslash, comma, semicolon and line breaks are escaped
// in text values.
std::string escapeVCardText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\' || c == ',' || c == ';') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

std::string unescapeVCardText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' || next == 'N' ? '\n' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Logical lines: a line that starts with a space or a tab continues the one
// before it (folding, RFC 2425 section 5.8.1).
std::vector<std::string> unfoldedLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty()) {
      lines.back() += line.substr(1);
    } else {
      lines.push_back(std::move(line));
    }
    start = end + 1;
  }
  return lines;
}

// "N:Family;Given;..." as "Given Family" when a card has no FN.
std::string nameFromStructured(std::string_view value) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      part += value[i];
      part += value[++i];
    } else if (value[i] == ';') {
      parts.push_back(unescapeVCardText(part));
      part.clear();
    } else {
      part += value[i];
    }
  }
  parts.push_back(unescapeVCardText(part));
  std::string name = parts.size() > 1 ? parts[1] : "";
  if (!parts[0].empty()) name += (name.empty() ? "" : " ") + parts[0];
  return name;
}

// ---- CSV --------------------------------------------------------------------

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The records of a CSV text, quoted fields may hold commas and line breaks.
std::vector<std::vector<std::string>> csvRecords(std::string_view text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  bool any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
      }
      record.clear();
      field.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (any || !field.empty()) {
    record.push_back(std::move(field));
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace

std::optional<ContactFormat> contactFormatOf(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string extension = lowered(path.substr(dot + 1));
  if (extension == "vcf" || extension == "vcard") return ContactFormat::VCard;
  if (extension == "csv") return ContactFormat::Csv;
  return std::nullopt;
}

std::string writeVCards(const std::vector<ContactEntry>& entries) {
  std::string out;
  for (const ContactEntry& entry : entries) {
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    out += "FN:" + escapeVCardText(entry.name) + "\r\n";
    out += "N:" + escapeVCardText(entry.name) + ";;;;\r\n";
    out += "TEL;TYPE=VOICE:" + escapeVCardText(entry.number) + "\r\n";
    out += "END:VCARD\r\n";
  }
  return out;
}

std::string writeCsv(const std::vector<ContactEntry>& entries) {
  std::string out = "position,name,number\r\n";
  for (const ContactEntry& entry : entries) {
    out += (entry.position >= 0 ? std::to_string(entry.position) : "") + "," + csvField(entry.name) + "," +
           csvField(entry.number) + "\r\n";
  }
  return out;
}

ContactFile readVCards(std::string_view text) {
  ContactFile file;
  bool inCard = false;
  ContactEntry entry;
  std::string structuredName;
  int card = 0;
  for (const std::string& line : unfoldedLines(text)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    // "item1.TEL;TYPE=CELL:..." : the group before the dot and the
    // parameters after the semicolon do not change what the property is.
    std::string property = lowered(line.substr(0, colon));
    property = property.substr(0, property.find(';'));
    if (const size_t dot = property.find('.'); dot != std::string::npos) property = property.substr(dot + 1);
    const std::string value = line.substr(colon + 1);
    if (property == "begin" && lowered(value) == "vcard") {
      inCard = true;
      entry = ContactEntry{};
      structuredName.clear();
      ++card;
    } else if (!inCard) {
      continue;
    } else if (property == "end" && lowered(value) == "vcard") {
      inCard = false;
      if (entry.name.empty()) entry.name = structuredName;
      if (entry.number.empty()) {
        file.skipped.push_back("card " + std::to_string(card) + (entry.name.empty() ? "" : " (" + entry.name + ")") +
                               " has no telephone number");
      } else {
        file.entries.push_back(entry);
      }
    } else if (property == "fn") {
      entry.name = unescapeVCardText(value);
    } else if (property == "n") {
      structuredName = nameFromStructured(value);
    } else if (property == "tel" && entry.number.empty()) {
      // vCard 4 writes "tel:+420..." as a URI.
      std::string number = unescapeVCardText(value);
      if (lowered(number.substr(0, 4)) == "tel:") number = number.substr(4);
      entry.number = number;
    }
  }
  if (inCard) file.skipped.push_back("card " + std::to_string(card) + " has no END:VCARD");
  return file;
}

ContactFile readCsv(std::string_view text) {
  ContactFile file;
  const auto records = csvRecords(text);
  if (records.empty()) return file;
  // The header names the columns; their order is free.
  int position = -1, name = -1, number = -1;
  for (size_t i = 0; i < records[0].size(); ++i) {
    const std::string heading = lowered(records[0][i]);
    if (heading == "position") position = static_cast<int>(i);
    if (heading == "name") name = static_cast<int>(i);
    if (heading == "number") number = static_cast<int>(i);
  }
  if (name < 0 || number < 0) {
    file.skipped.push_back("the first line must name the columns: position,name,number");
    return file;
  }
  for (size_t row = 1; row < records.size(); ++row) {
    const auto& record = records[row];
    const std::string where = "line " + std::to_string(row + 1);
    auto field = [&record](int column) { return column >= 0 && static_cast<size_t>(column) < record.size() ? record[column] : ""; };
    ContactEntry entry;
    entry.name = field(name);
    entry.number = field(number);
    const std::string place = field(position);
    if (!place.empty()) {
      const bool digits = std::all_of(place.begin(), place.end(), [](unsigned char c) { return std::isdigit(c); });
      if (!digits || place.size() > 6) {
        file.skipped.push_back(where + ": the position \"" + place + "\" is not a number");
        continue;
      }
      entry.position = std::stoi(place);
    }
    if (entry.number.empty()) {
      file.skipped.push_back(where + " has no number");
      continue;
    }
    file.entries.push_back(entry);
  }
  return file;
}

}  // namespace fonexa::cli
