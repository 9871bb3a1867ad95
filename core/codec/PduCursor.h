// Reading and writing the hexadecimal text of an SMS PDU.
//
// PDUs arrive from the phone as text ("+CMGL:", "+CMGR:", "+CMT:"), and a
// truncated line, a line with noise in it or a PDU whose length fields lie are
// all things a serial link delivers. The cursor therefore reads only inside its
// text: an octet that is not there reads as 0 and the cursor stays at the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fonexa {

namespace detail {
constexpr std::array<int8_t, 256> MakeHexValues() {
  std::array<int8_t, 256> values{};
  values.fill(-1);
  for (int c = '0'; c <= '9'; ++c) values[c] = static_cast<int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) values[c] = static_cast<int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) values[c] = static_cast<int8_t>(c - 'a' + 10);
  return values;
}
inline constexpr std::array<int8_t, 256> kHexValues = MakeHexValues();
inline constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace detail

// Value of one hexadecimal digit (either case), -1 for any other character.
constexpr int HexDigitValue(char c) { return detail::kHexValues[static_cast<uint8_t>(c)]; }

// The octet written by the two characters at position. An invalid digit (or
// the end of the text) stops the conversion, so "1G" reads as 1 and "G1" as 0.
// semiDecimal reads the two digits swapped and in decimal, as GSM 03.40 time
// stamps are written: the characters "21" read as 12.
inline int ReadOctetAt(std::string_view hex, size_t position, bool semiDecimal) {
  if (position >= hex.size()) return 0;
  const char first = hex[position];
  const char second = position + 1 < hex.size() ? hex[position + 1] : '\0';
  int value = 0;
  if (!semiDecimal) {
    for (const char c : {first, second}) {
      const int digit = HexDigitValue(c);
      if (digit < 0) break;
      value = value * 16 + digit;
    }
  } else {
    for (const char c : {second, first}) {
      if (c < '0' || c > '9') break;
      value = value * 10 + (c - '0');
    }
  }
  return value;
}

// Value of the complete octet at position, -1 when it is cut short or holds a
// character that is not a hexadecimal digit. Used for user data, where a
// half octet is not a character.
inline int CompleteOctetAt(std::string_view hex, size_t position) {
  if (position + 1 >= hex.size()) return -1;
  const int high = HexDigitValue(hex[position]);
  const int low = HexDigitValue(hex[position + 1]);
  return (high | low) < 0 ? -1 : high * 16 + low;
}

// Writes the octet as two upper-case hex digits at out.
inline void WriteHexOctet(char* out, unsigned octet) {
  out[0] = detail::kHexDigits[(octet >> 4) & 0x0F];
  out[1] = detail::kHexDigits[octet & 0x0F];
}

inline void AppendHexOctet(std::string& out, unsigned octet) {
  char digits[2];
  WriteHexOctet(digits, octet);
  out.append(digits, 2);
}

class PduCursor {
 public:
  explicit PduCursor(std::string_view hex) : hex_(hex) {}

  // The next octet; 0 once the text is used up.
  int Octet() { return Take(false); }
  // The next octet of a time stamp, its two decimal digits swapped.
  int SemiDecimalOctet() { return Take(true); }

  void Skip(size_t octets) { Advance(octets * 2); }

  // Appends the digits of a GSM 03.40 address field of `octets` octets: each
  // octet gives its second character, then its first unless that is the "F"
  // filler of an odd digit count. Digits are copied as the characters of the
  // text, so BCD extensions (*, #) and alphanumeric addresses come out as hex
  // letters.
  void AppendAddressDigits(size_t octets, std::string& out) {
    for (size_t i = 0; i < octets && position_ < hex_.size(); ++i) {
      if (position_ + 1 < hex_.size()) out.push_back(AddressCharacter(hex_[position_ + 1]));
      if (hex_[position_] != 'F' && hex_[position_] != 'f') out.push_back(AddressCharacter(hex_[position_]));
      Advance(2);
    }
  }
  // A semi-octet of a GSM 04.08 BCD number as a dial character: the digits,
  // and A "*", B "#", C "a", D "b", E "c".
  static char AddressCharacter(char semiOctet) {
    switch (semiOctet) {
      case 'A': case 'a': return '*';
      case 'B': case 'b': return '#';
      case 'C': case 'c': return 'a';
      case 'D': case 'd': return 'b';
      case 'E': case 'e': return 'c';
      default: return semiOctet;
    }
  }

  // Everything from the cursor to the end of the text.
  std::string_view Rest() const { return hex_.substr(position_); }
  size_t Position() const { return position_; }
  bool AtEnd() const { return position_ >= hex_.size(); }

 private:
  int Take(bool semiDecimal) {
    const int value = ReadOctetAt(hex_, position_, semiDecimal);
    Advance(2);
    return value;
  }
  void Advance(size_t characters) {
    position_ = characters >= hex_.size() - position_ ? hex_.size() : position_ + characters;
  }

  std::string_view hex_;
  size_t position_ = 0;
};

}  // namespace fonexa
