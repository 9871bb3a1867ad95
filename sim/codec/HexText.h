#pragma once
// Octets as the upper-case hexadecimal text that PDU mode carries on the line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

std::string toHex(const std::vector<uint8_t>& octets);
// Nothing for an odd length or a character that is not a hex digit; phones
// answer such a PDU with +CMS ERROR: 304 rather than guessing.
std::optional<std::vector<uint8_t>> fromHex(std::string_view text);

}  // namespace fonexa::sim
