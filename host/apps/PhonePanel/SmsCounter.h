// How a message text will travel, counted the way the engine splits it: the
// 7-bit default alphabet when every character is in it (or in its extension
// table), 16-bit otherwise; one message holds 160 or 70 characters, a longer
// text goes in parts of 152 or 67 (the engine's concatenation header takes 8
// septets, not the usual 7). Texts are Latin-1 bytes, one byte one character.
#pragma once

#include <string_view>

struct SmsLength {
  int characters = 0;
  int parts = 0;  // 0 for an empty text
  bool sevenBit = true;
  // Characters left in the last part before another part is needed.
  int remainingInPart = 0;
};

bool IsDefaultAlphabet(unsigned char latin1);
SmsLength MeasureSms(std::string_view latin1);
