#include "codec/SimResponses.h"

#include "text/InformationLine.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

int ParseCpinReadResponse(const std::string& line, std::string& first, std::string& second) {
  ResponseTokenizer words(BodyOf(line, "+CPIN:"), false, " \"\r\n");
  if (!words.HasMoreTokens()) return 1;
  first = words.NextToken();
  second = words.NextToken();
  return 0;
}

}  // namespace fonexa
