#pragma once
// UTF-8 text <-> Unicode code points. The modem keeps every human-readable
// text (message bodies, phone-book names) as UTF-8 at its edges and as code
// points inside the codecs, so that the GSM alphabet, UCS2 and the TE
// character sets all convert from one representation.
#include <string>
#include <string_view>

namespace fonexa::sim {

// Invalid UTF-8 sequences decode byte by byte as Latin-1, so that arbitrary
// bytes from a client never make a conversion fail.
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view text);
void appendUtf8(std::string& out, char32_t c);

}  // namespace fonexa::sim
