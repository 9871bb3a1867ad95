#include "TextEncoding.h"

#include <cstdio>

#include "CommandError.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::cli {

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  // A Latin-1 byte is its own Unicode code point.
  for (const char c : latin1) sim::appendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

namespace {

std::string codePointName(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

// Reads the UTF-8 text character by character; a character above `highest`
// is a problem too. The text comes back in Latin-1 when highest is 0xFF, as
// it came otherwise.
Latin1Result convert(std::string_view utf8, char32_t highest) {
  Latin1Result result;
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
    } else {
      result.problem = "a byte that is not UTF-8 at position " + std::to_string(i + 1);
      return result;
    }
    if (i + length > utf8.size()) {
      result.problem = "a UTF-8 sequence cut short at position " + std::to_string(i + 1);
      return result;
    }
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        result.problem = "a byte that is not UTF-8 at position " + std::to_string(i + 1);
        return result;
      }
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms would smuggle a control byte past the checks behind us.
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length]) {
      result.problem = "an overlong UTF-8 sequence at position " + std::to_string(i + 1);
      return result;
    }
    if (c > highest || (c >= 0xD800 && c <= 0xDFFF)) {
      result.problem = "\"" + std::string(utf8.substr(i, length)) + "\" (" + codePointName(c) + ")";
      return result;
    }
    if (highest <= 0xFF) {
      out += static_cast<char>(c);
    } else {
      out.append(utf8.substr(i, length));
    }
    i += length;
  }
  result.ok = true;
  result.text = std::move(out);
  return result;
}

}  // namespace

Latin1Result utf8ToLatin1(std::string_view utf8) { return convert(utf8, 0xFF); }

std::string checkedUtf8(std::string_view utf8, std::string_view what) {
  Latin1Result checked = convert(utf8, 0x10FFFF);
  if (!checked.ok) badUsage("the " + std::string(what) + " holds " + checked.problem + ", which is not a character");
  return std::move(checked.text);
}

std::string toEngine(std::string_view utf8, std::string_view what) {
  Latin1Result converted = utf8ToLatin1(utf8);
  if (!converted.ok) {
    badUsage("the " + std::string(what) + " holds " + converted.problem +
             ", which the phone's single-byte character set cannot carry");
  }
  return std::move(converted.text);
}

}  // namespace fonexa::cli
