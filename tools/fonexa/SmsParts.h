#pragma once
// How many messages a text becomes when the engine sends it, so that the
// command can say so before it starts. The engine keeps its count to itself;
// this follows its rule: 7-bit when every character is in the GSM default
// alphabet (or its extension table, form feed aside), else 16-bit; one
// message holds 160 or 70 characters, a part of a longer text 152 or 67
// (its concatenation header takes 8 septets or 6 octets).
#include <string_view>

namespace fonexa::cli {

enum class SmsAlphabet { SevenBit, Ucs2 };

struct SmsParts {
  SmsAlphabet alphabet;
  int count;
};

// latin1: the text as the engine gets it.
SmsParts countSmsParts(std::string_view latin1);

const char* alphabetName(SmsAlphabet alphabet);

}  // namespace fonexa::cli
