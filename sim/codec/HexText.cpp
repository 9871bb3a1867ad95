#include "sim/codec/HexText.h"

namespace fonexa::sim {
namespace {
int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::string toHex(const std::vector<uint8_t>& octets) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(octets.size() * 2);
  for (uint8_t o : octets) {
    out += kDigits[o >> 4];
    out += kDigits[o & 0x0F];
  }
  return out;
}

std::optional<std::vector<uint8_t>> fromHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = digitValue(text[i]);
    const int lo = digitValue(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return out;
}

}  // namespace fonexa::sim
