#include "text/CommandText.h"

#include "text/PhoneNumber.h"

namespace fonexa {

bool FitsCommandLine(std::string_view text, TextPlace place) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"') return false;
    if (place == TextPlace::Bare && c == ';') return false;
  }
  return true;
}

std::optional<std::string> AddressForPdu(const std::string& number) {
  std::string cleaned = CleanPhoneNumber(number);
  const size_t digits = !cleaned.empty() && cleaned.front() == '+' ? 1 : 0;
  if (cleaned.size() - digits > kMaxAddressDigits) return std::nullopt;
  for (size_t i = digits; i < cleaned.size(); ++i) {
    const char c = cleaned[i];
    if ((c < '0' || c > '9') && c != '*' && c != '#') return std::nullopt;
  }
  return cleaned;
}

}  // namespace fonexa
