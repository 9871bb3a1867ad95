// The GSM 03.38 default alphabet over Latin-1 message texts, and the packing
// of its 7-bit codes into octets.
//
// The tables are built at compile time and the per-character functions are
// inline: they run once for every character of every message.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/PduCursor.h"

namespace fonexa::gsm7 {

// Code 0x1B announces a character of the extension table in the next code.
inline constexpr uint8_t kEscape = 0x1B;
// "_": sent for a character the alphabet cannot carry, shown for a code the
// receiver cannot show.
inline constexpr uint8_t kUnderscoreCode = 0x11;

// Latin-1 byte of each default-alphabet code. The Greek capitals (0x10,
// 0x12-0x1A) have no Latin-1 byte and hold 0; the escape code holds 0x1B.
inline constexpr std::array<uint8_t, 128> kDefaultAlphabet = {
    0x40, 0xA3, 0x24, 0xA5, 0xE8, 0xE9, 0xF9, 0xEC,  // @ £ $ ¥ è é ù ì
    0xF2, 0xC7, 0x0A, 0xD8, 0xF8, 0x0D, 0xC5, 0xE5,  // ò Ç LF Ø ø CR Å å
    0x00, 0x5F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // Δ _ Φ Γ Λ Ω Π Ψ
    0x00, 0x00, 0x00, 0x1B, 0xC6, 0xE6, 0xDF, 0xC9,  // Σ Θ Ξ ESC Æ æ ß É
    0x20, 0x21, 0x22, 0x23, 0xA4, 0x25, 0x26, 0x27,  // SP ! " # ¤ % & '
    0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // ( ) * + , - . /
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37,  // 0-7
    0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 8 9 : ; < = > ?
    0xA1, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,  // ¡ A-G
    0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // H-O
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57,  // P-W
    0x58, 0x59, 0x5A, 0xC4, 0xD6, 0xD1, 0xDC, 0xA7,  // X Y Z Ä Ö Ñ Ü §
    0xBF, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67,  // ¿ a-g
    0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // h-o
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77,  // p-w
    0x78, 0x79, 0x7A, 0xE4, 0xF6, 0xF1, 0xFC, 0xE0,  // x y z ä ö ñ ü à
};

// The extension table as far as Latin-1 reaches (the euro sign does not).
struct ExtensionCharacter {
  uint8_t byte;
  uint8_t code;
};
inline constexpr ExtensionCharacter kExtensionTable[] = {
    {0x0C, 0x0A},  // form feed
    {0x5E, 0x14},  // ^
    {0x7B, 0x28},  // {
    {0x7D, 0x29},  // }
    {0x5C, 0x2F},  // backslash
    {0x5B, 0x3C},  // [
    {0x7E, 0x3D},  // ~
    {0x5D, 0x3E},  // ]
    {0x7C, 0x40},  // |
};

namespace detail {

// Per Latin-1 byte: its code as CodeOf gives it, its extension code, and
// whether some default-alphabet entry equals it.
struct EncodeTables {
  std::array<uint8_t, 256> code{};
  std::array<uint8_t, 256> extension{};
  std::array<bool, 256> inAlphabet{};
};

constexpr EncodeTables MakeEncodeTables() {
  constexpr uint8_t kNone = 0xFF;
  EncodeTables t;
  t.code.fill(kNone);
  for (int code = 0; code < 128; ++code) {
    const uint8_t byte = kDefaultAlphabet[code];
    if (t.code[byte] == kNone) t.code[byte] = static_cast<uint8_t>(code);
    t.inAlphabet[byte] = true;
  }
  for (const auto& e : kExtensionTable) {
    t.extension[e.byte] = e.code;
    if (t.code[e.byte] == kNone) t.code[e.byte] = kEscape;
  }
  for (auto& code : t.code) {
    if (code == kNone) code = kUnderscoreCode;
  }
  return t;
}
inline constexpr EncodeTables kEncoding = MakeEncodeTables();

// Per code: the byte shown for it, and the byte shown for it after an escape.
struct DecodeTables {
  std::array<uint8_t, 128> plain{};
  std::array<uint8_t, 128> escaped{};
};

constexpr DecodeTables MakeDecodeTables() {
  DecodeTables t;
  for (int code = 0; code < 128; ++code) {
    const bool noLatin1 = code >= 0x10 && code <= 0x1A;
    t.plain[code] = noLatin1 ? uint8_t{'_'} : kDefaultAlphabet[code];
    t.escaped[code] = '_';
  }
  for (const auto& e : kExtensionTable) t.escaped[e.code] = e.byte;
  return t;
}
inline constexpr DecodeTables kDecoding = MakeDecodeTables();

}  // namespace detail

// True when some default-alphabet entry equals the byte.
inline bool InDefaultAlphabet(char c) { return detail::kEncoding.inAlphabet[static_cast<uint8_t>(c)]; }
// The first default-alphabet code whose entry equals the byte; else kEscape
// for the nine characters of the extension table; else kUnderscoreCode.
inline uint8_t CodeOf(char c) { return detail::kEncoding.code[static_cast<uint8_t>(c)]; }
// Second code of an extension-table character, 0 for any other character.
inline uint8_t ExtensionCodeOf(char c) { return detail::kEncoding.extension[static_cast<uint8_t>(c)]; }
// Septets the character takes in a message: 2 for an escape pair, else 1.
inline int SeptetsOf(char c) { return CodeOf(c) == kEscape ? 2 : 1; }

// Decodes one code with the escape state of the text it belongs to. Returns
// the Latin-1 byte, or -1 for an escape code (which only sets the state).
// After an escape the extension table applies, and a code missing from it
// reads as "_"; the codes without a Latin-1 byte (the Greek capitals) read as
// "_" too. The currency sign 0x24 is Latin-1's 0xA4.
inline int DecodeCode(uint8_t code, bool& escaped) {
  code &= 0x7F;
  if (escaped) {
    escaped = false;
    return detail::kDecoding.escaped[code];
  }
  if (code == kEscape) {
    escaped = true;
    return -1;
  }
  return detail::kDecoding.plain[code];
}

// Packs 7-bit codes the GSM way as hex digits into a buffer the caller has
// sized with PackedOctets. The first code starts fillBits bits into the first
// octet: fill bits stand between a user-data header and the text, so that the
// text begins on a septet boundary.
constexpr size_t PackedOctets(size_t codes, int fillBits) {
  return (static_cast<size_t>(fillBits) + 7 * codes + 7) / 8;
}

class SeptetPacker {
 public:
  SeptetPacker(char* hexOut, int fillBits) : out_(hexOut), pending_(fillBits) {}
  void Push(uint8_t code) {
    bits_ |= static_cast<uint32_t>(code & 0x7F) << pending_;
    pending_ += 7;
    if (pending_ >= 8) {
      WriteHexOctet(out_, bits_ & 0xFF);
      out_ += 2;
      bits_ >>= 8;
      pending_ -= 8;
    }
  }
  // Writes the last, partly filled octet; returns the end of the output.
  char* Finish() {
    if (pending_ > 0) {
      WriteHexOctet(out_, bits_ & 0xFF);
      out_ += 2;
    }
    bits_ = 0;
    pending_ = 0;
    return out_;
  }

 private:
  char* out_;
  uint32_t bits_ = 0;  // pending bits, least significant first; fill bits are 0
  int pending_;
};

// Unpacks up to `count` codes from the hex text of packed user data, the
// first starting fillBits bits into the first octet, and hands each to
// `sink`. Stops early at the end of the text or at a character that is not a
// hex digit; never reads past the text.
template <typename Sink>
void Unpack(std::string_view hex, size_t count, int fillBits, Sink&& sink) {
  uint32_t bits = 0;  // unread bits, least significant first
  int available = 0;
  size_t position = 0;
  int skip = fillBits;
  for (size_t produced = 0; produced < count; ++produced) {
    while (available < 7 + skip) {
      const int octet = CompleteOctetAt(hex, position);
      if (octet < 0) return;
      bits |= static_cast<uint32_t>(octet) << available;
      available += 8;
      position += 2;
    }
    if (skip > 0) {
      bits >>= skip;
      available -= skip;
      skip = 0;
    }
    sink(static_cast<uint8_t>(bits & 0x7F));
    bits >>= 7;
    available -= 7;
  }
}

}  // namespace fonexa::gsm7
