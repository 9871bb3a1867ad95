#include "PduVectors.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fonexa::test {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw std::runtime_error(std::string("bad hex digit in escape: ") + c);
}

}  // namespace

std::string Latin1FromEscapedUtf8(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      if (++i >= text.size()) throw std::runtime_error("escape at end of text");
      switch (text[i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'f': out += '\f'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case 'x':
          if (i + 2 >= text.size()) throw std::runtime_error("short \\x escape");
          out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
          i += 2;
          break;
        default:
          throw std::runtime_error("unknown escape");
      }
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
      const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(text[++i]) & 0x3Fu);
      if (code > 0xFF) throw std::runtime_error("character beyond Latin-1 in " + text);
      out += static_cast<char>(code);
    } else {
      throw std::runtime_error("character beyond Latin-1 in " + text);
    }
  }
  return out;
}

std::vector<PduVector> LoadPduVectors(const std::string& fileName) {
  const std::string path = std::string(CODING_DATA_DIR) + "/" + fileName;
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<PduVector> vectors;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto fields = SplitTabs(line);
    if (fields.size() != 6) throw std::runtime_error(path + ": expected 6 fields in: " + line);
    PduVector v;
    v.name = fields[0];
    v.pdu = fields[1];
    v.providerPhone = fields[2];
    v.phoneNumber = Latin1FromEscapedUtf8(fields[3]);
    if (fields[4] != "-") {
      v.hasTimeStamp = true;
      if (std::sscanf(fields[4].c_str(), "%d-%d-%d %d:%d:%d", &v.year, &v.month, &v.day, &v.hour, &v.minute,
                      &v.second) != 6) {
        throw std::runtime_error(path + ": bad time stamp in: " + line);
      }
    }
    v.text = Latin1FromEscapedUtf8(fields[5]);
    vectors.push_back(std::move(v));
  }
  return vectors;
}

}  // namespace fonexa::test
