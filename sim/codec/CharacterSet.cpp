#include "sim/codec/CharacterSet.h"

#include "sim/codec/GsmAlphabet.h"
#include "sim/codec/HexText.h"
#include "sim/codec/SmsPdu.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::sim {

const std::vector<std::string>& CharacterSet::names() {
  static const std::vector<std::string> kNames = {"GSM", "IRA", "8859-1", "UCS2"};
  return kNames;
}

bool CharacterSet::supported(std::string_view name) {
  for (const auto& n : names()) {
    if (n == name) return true;
  }
  return false;
}

std::string CharacterSet::encode(std::string_view utf8, std::string_view charset) {
  const std::u32string text = decodeUtf8(utf8);
  if (charset == "UCS2") return toHex(encodeUcs2(text));
  std::string out;
  for (char32_t c : text) {
    if (charset == "GSM") {
      auto septets = GsmAlphabet::encode(std::u32string(1, c));
      if (!septets) septets = GsmAlphabet::encode(U"?");
      for (uint8_t s : *septets) out += static_cast<char>(s);
    } else if (charset == "8859-1") {
      out += c <= 0xFF ? static_cast<char>(c) : '?';
    } else {
      out += c < 0x80 ? static_cast<char>(c) : '?';
    }
  }
  return out;
}

std::optional<std::string> CharacterSet::decode(std::string_view text, std::string_view charset) {
  if (charset == "UCS2") {
    if (text.size() % 4 != 0) return std::nullopt;
    auto octets = fromHex(text);
    if (!octets) return std::nullopt;
    return encodeUtf8(decodeUcs2(*octets));
  }
  if (charset == "GSM") {
    std::vector<uint8_t> septets;
    for (char c : text) septets.push_back(static_cast<uint8_t>(c) & 0x7F);
    return encodeUtf8(GsmAlphabet::decode(septets));
  }
  std::u32string out;
  for (char c : text) out += static_cast<unsigned char>(c);
  return encodeUtf8(out);
}

size_t CharacterSet::length(std::string_view utf8) { return decodeUtf8(utf8).size(); }

}  // namespace fonexa::sim
