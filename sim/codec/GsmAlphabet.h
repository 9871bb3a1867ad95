#pragma once
// The GSM 03.38 default alphabet with its extension table, and the packing of
// septets into octets used by 7-bit user data (GSM 03.40 section 9.2.3.24).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

class GsmAlphabet {
 public:
  static constexpr uint8_t kEscape = 0x1B;

  // Number of septets a character takes: 1 in the default table, 2 through
  // the extension table, 0 when it cannot be sent in the default alphabet.
  static int septetsFor(char32_t c);

  // The whole text in septets, or nothing when one character has no code.
  static std::optional<std::vector<uint8_t>> encode(std::u32string_view text);

  // Decoding never fails: an escape followed by a code without an extension
  // character shows the default-table character, as GSM 03.38 asks of
  // receivers, and a trailing escape shows as a space.
  static std::u32string decode(const std::vector<uint8_t>& septets);

  // Packs septets LSB first, after `fillBits` zero bits (the fill that aligns
  // 7-bit text behind a user-data header).
  static std::vector<uint8_t> pack(const std::vector<uint8_t>& septets, int fillBits = 0);
  // Reads `count` septets from the octets, septet i starting at bit 7*i.
  static std::vector<uint8_t> unpack(const uint8_t* octets, size_t octetCount, size_t count);
};

}  // namespace fonexa::sim
