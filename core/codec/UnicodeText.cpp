#include "codec/UnicodeText.h"

#include <algorithm>
#include <array>
#include <utility>

#include "codec/CMxGsmCoding.h"
#include "codec/GsmAlphabet.h"
#include "codec/PduCursor.h"

namespace fonexa::unicode {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEuroSign = 0x20AC;
constexpr uint8_t kEuroCode = 0x65;

// The default alphabet over Unicode: the Latin-1 table with the Greek
// capitals that Latin-1 lacks.
constexpr std::array<char32_t, 128> MakeDefaultAlphabet() {
  std::array<char32_t, 128> table{};
  for (size_t code = 0; code < table.size(); ++code) table[code] = gsm7::kDefaultAlphabet[code];
  constexpr std::pair<uint8_t, char32_t> kGreek[] = {
      {0x10, 0x0394}, {0x12, 0x03A6}, {0x13, 0x0393}, {0x14, 0x039B}, {0x15, 0x03A9},
      {0x16, 0x03A0}, {0x17, 0x03A8}, {0x18, 0x03A3}, {0x19, 0x0398}, {0x1A, 0x039E},
  };
  for (const auto& [code, c] : kGreek) table[code] = c;
  return table;
}
constexpr std::array<char32_t, 128> kDefaultAlphabet = MakeDefaultAlphabet();

constexpr bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Number of continuation bytes a lead byte announces, -1 for a byte that
// cannot lead.
int ContinuationsOf(uint8_t lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return -1;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const int more = ContinuationsOf(lead);
    if (more < 0 || i + static_cast<size_t>(more) >= text.size()) {
      out += kReplacement;
      ++i;
      continue;
    }
    char32_t c = more == 0 ? lead : lead & (0x3F >> more);
    bool wellFormed = true;
    for (int k = 1; k <= more; ++k) {
      const auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        wellFormed = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong three- and four-byte forms, surrogates and values beyond
    // U+10FFFF are not characters.
    const bool overlong = (more == 2 && c < 0x800) || (more == 3 && c < 0x10000);
    if (!wellFormed || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += kReplacement;
      ++i;
      continue;
    }
    out += c;
    i += static_cast<size_t>(more) + 1;
  }
  return out;
}

int GsmCodeOf(char32_t c) {
  if (c == kEuroSign) return kExtended | kEuroCode;
  if (c < 0x100) {
    for (const auto& e : gsm7::kExtensionTable) {
      if (e.byte == c) return kExtended | e.code;
    }
  }
  // NUL and ESC have entries (0 for the Greek capitals, 0x1B for the escape)
  // that are no characters of their own.
  if (c == 0 || c == gsm7::kEscape) return -1;
  const auto* found = std::find(kDefaultAlphabet.begin(), kDefaultAlphabet.end(), c);
  return found == kDefaultAlphabet.end() ? -1 : static_cast<int>(found - kDefaultAlphabet.begin());
}

char32_t CharacterOfGsmCode(uint8_t code, bool escaped) {
  code &= 0x7F;
  if (escaped) {
    if (code == kEuroCode) return kEuroSign;
    for (const auto& e : gsm7::kExtensionTable) {
      if (e.code == code) return e.byte;
    }
    if (code == gsm7::kEscape) return U' ';  // reserved for a further extension table
  }
  return kDefaultAlphabet[code];
}

UnitText EncodeText(std::string_view utf8) {
  const std::u32string characters = DecodeUtf8(utf8);
  UnitText text;
  text.alphabet = CMxGsmCoding::kAlphabet7Bit;
  for (const char32_t c : characters) {
    const int code = GsmCodeOf(c);
    if (code < 0) {
      text.alphabet = CMxGsmCoding::kAlphabet16Bit;
      break;
    }
    if (code & kExtended) text.units.push_back(gsm7::kEscape);
    text.units.push_back(static_cast<uint16_t>(code & 0x7F));
  }
  if (text.alphabet == CMxGsmCoding::kAlphabet7Bit) return text;
  text.units.clear();
  for (const char32_t c : characters) {
    if (c < 0x10000) {
      text.units.push_back(static_cast<uint16_t>(c));
    } else {
      const char32_t v = c - 0x10000;
      text.units.push_back(static_cast<uint16_t>(0xD800 | (v >> 10)));
      text.units.push_back(static_cast<uint16_t>(0xDC00 | (v & 0x3FF)));
    }
  }
  return text;
}

std::vector<std::vector<uint16_t>> SplitUnits(const UnitText& text, size_t single, size_t capacity) {
  const std::vector<uint16_t>& units = text.units;
  if (units.size() <= single || capacity < 2) return {units};
  const bool sevenBit = text.alphabet == CMxGsmCoding::kAlphabet7Bit;
  std::vector<std::vector<uint16_t>> parts;
  size_t begin = 0;
  while (begin < units.size()) {
    size_t end = std::min(begin + capacity, units.size());
    // The last unit of a full part must not be the first half of a pair
    // (the second half of an escape pair is never an escape itself).
    if (end < units.size()) {
      const uint16_t last = units[end - 1];
      if (sevenBit ? last == gsm7::kEscape : IsHighSurrogate(last)) --end;
    }
    parts.emplace_back(units.begin() + static_cast<std::ptrdiff_t>(begin), units.begin() + static_cast<std::ptrdiff_t>(end));
    begin = end;
  }
  return parts;
}

std::string DecodeUserDataUtf8(std::string_view userData, int count, int alphabet, int fillBits) {
  std::string out;
  if (alphabet == CMxGsmCoding::kAlphabet16Bit) {
    uint32_t pending = 0;  // a high surrogate waiting for its low half
    for (size_t position = 0; position + 4 <= userData.size(); position += 4) {
      const int high = CompleteOctetAt(userData, position);
      const int low = CompleteOctetAt(userData, position + 2);
      if (high < 0 || low < 0) break;
      const auto unit = static_cast<uint32_t>(high << 8 | low);
      if (pending != 0) {
        if (IsLowSurrogate(unit)) {
          AppendUtf8(out, 0x10000 + ((pending - 0xD800) << 10) + (unit - 0xDC00));
          pending = 0;
          continue;
        }
        AppendUtf8(out, kReplacement);
        pending = 0;
      }
      if (IsHighSurrogate(unit)) {
        pending = unit;
      } else {
        AppendUtf8(out, unit);  // a lone low surrogate becomes U+FFFD there
      }
    }
    if (pending != 0) AppendUtf8(out, kReplacement);
  } else if (alphabet == CMxGsmCoding::kAlphabet8Bit) {
    for (size_t position = 0;; position += 2) {
      const int octet = CompleteOctetAt(userData, position);
      if (octet < 0) break;
      AppendUtf8(out, static_cast<char32_t>(octet));
    }
  } else if (alphabet == CMxGsmCoding::kAlphabet7Bit && count > 0) {
    bool escaped = false;
    gsm7::Unpack(userData, static_cast<size_t>(count), fillBits, [&](uint8_t code) {
      if (!escaped && (code & 0x7F) == gsm7::kEscape) {
        escaped = true;
        return;
      }
      AppendUtf8(out, CharacterOfGsmCode(code, escaped));
      escaped = false;
    });
  }
  return out;
}

}  // namespace fonexa::unicode
