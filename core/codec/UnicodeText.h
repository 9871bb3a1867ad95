// Message texts in UTF-8: the GSM 03.38 default alphabet and its extension
// table over Unicode, UCS2 with surrogate pairs, and the conversions between
// UTF-8 and the code units a PDU carries.
//
// The Latin-1 texts of the rest of the codec stay as they are; this is the
// view beside them for callers that want every character as it was sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::unicode {

// Appends the code point as UTF-8; a surrogate or a value beyond U+10FFFF
// becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
// The code points of a UTF-8 text. A byte that does not begin a well-formed
// sequence (a stray continuation, an overlong form, a surrogate, a cut
// sequence) becomes one U+FFFD, so nothing a caller passes is lost silently.
std::u32string DecodeUtf8(std::string_view text);

// The default-alphabet code of a character: 0..127, or kExtended | code for a
// character of the extension table (sent as 0x1B, code); -1 for a character
// the alphabet does not have.
inline constexpr int kExtended = 0x100;
int GsmCodeOf(char32_t c);
// The character of a default-alphabet code, or of the code after an escape.
// An escaped code without an extension character reads as the code's own
// character, as GSM 03.38 asks of receivers.
char32_t CharacterOfGsmCode(uint8_t code, bool escaped);

// A text as the code units one alphabet carries: septet codes (escape pairs
// as two) for 7-bit, UTF-16 code units for UCS2.
struct UnitText {
  int alphabet = 0;  // CMxGsmCoding::kAlphabet7Bit or kAlphabet16Bit
  std::vector<uint16_t> units;
};
// 7-bit when every character is in the default alphabet or its extension
// table (the euro sign and the form feed included), else UCS2, characters
// beyond the BMP as surrogate pairs.
UnitText EncodeText(std::string_view utf8);
// The parts of a text: one message when it fits (160 septets, 70 code units),
// else parts of at most `capacity` units, never cutting an escape pair or a
// surrogate pair.
std::vector<std::vector<uint16_t>> SplitUnits(const UnitText& text, size_t single, size_t capacity);

// The UTF-8 text of user data given as hex (see CMxGsmCoding::GetTextFromPdu
// for count and fillBits). 8-bit data reads as Latin-1; an unpaired surrogate
// as U+FFFD.
std::string DecodeUserDataUtf8(std::string_view userData, int count, int alphabet, int fillBits);

}  // namespace fonexa::unicode
