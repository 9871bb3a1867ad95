#include "text/PhoneNumber.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string_view>

namespace fonexa {

namespace {

// Below six digits the tails of two numbers say too little (an extension, a
// short code) to call them the same.
constexpr size_t kShortestMatchingTail = 6;

std::string Significant(std::string number) {
  if (!number.empty() && number[0] == '+') number.erase(0, 1);
  const size_t firstNonZero = number.find_first_not_of('0');
  return firstNonZero == std::string::npos ? std::string() : number.substr(firstNonZero);
}

}  // namespace

std::string CleanPhoneNumber(const std::string& number) {
  std::string out;
  out.reserve(number.size());
  for (char c : number) {
    if (c != ' ' && c != '-' && c != '/') out.push_back(c);
  }
  const size_t open = out.find('(');
  if (open != std::string::npos) {
    out.erase(open, (open + 1 < out.size() && out[open + 1] == '0') ? 2 : 1);
  }
  const size_t close = out.find(')');
  if (close != std::string::npos) out.erase(close, 1);
  return out;
}

bool ComparePhoneNumbers(const std::string& a, const std::string& b) {
  const std::string cleanA = CleanPhoneNumber(a);
  const std::string cleanB = CleanPhoneNumber(b);
  if (cleanA.empty() || cleanB.empty()) return false;
  const std::string x = Significant(cleanA);
  const std::string y = Significant(cleanB);
  if (x == y) return true;
  const size_t n = x.size() < y.size() ? x.size() : y.size();
  if (n < kShortestMatchingTail) return false;
  return x.compare(x.size() - n, n, y, y.size() - n, n) == 0;
}

bool IsDialString(const std::string& text) {
  static constexpr std::string_view kDialCharacters = "0123456789*#+ABCD,TPW!@IiGg";
  if (text.empty()) return false;
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return kDialCharacters.find(c) != std::string_view::npos; });
}

bool IsPhoneBookDial(const std::string& text) {
  if (text.size() < 2 || text[0] != '>') return false;
  size_t at = 1;
  while (at < text.size() && std::isupper(static_cast<unsigned char>(text[at]))) ++at;
  if (at == text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDigitCode(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace fonexa
