#include "SmsParts.h"

#include "sim/codec/GsmAlphabet.h"

namespace fonexa::cli {

namespace {

bool inDefaultAlphabet(unsigned char c) {
  // The engine refuses the form feed although the extension table has it.
  if (c == '\f') return false;
  // A Latin-1 byte is its own Unicode code point.
  return sim::GsmAlphabet::septetsFor(static_cast<char32_t>(c)) > 0;
}

}  // namespace

SmsParts countSmsParts(std::string_view latin1) {
  SmsAlphabet alphabet = SmsAlphabet::SevenBit;
  for (const char c : latin1) {
    if (!inDefaultAlphabet(static_cast<unsigned char>(c))) {
      alphabet = SmsAlphabet::Ucs2;
      break;
    }
  }
  const int single = alphabet == SmsAlphabet::SevenBit ? 160 : 70;
  const int part = alphabet == SmsAlphabet::SevenBit ? 152 : 67;
  // Bytes, not septets: an extension character counts once here, as the engine counts it.
  const int length = static_cast<int>(latin1.size());
  if (length <= single) return {alphabet, 1};
  return {alphabet, (length + part - 1) / part};
}

const char* alphabetName(SmsAlphabet alphabet) { return alphabet == SmsAlphabet::SevenBit ? "7-bit" : "UCS2"; }

}  // namespace fonexa::cli
