#include "codec/SessionResponses.h"

#include "text/InformationLine.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

int ParseCclkReadResponse(const std::string& line, std::string& time) {
  ResponseTokenizer fields(BodyOf(line, "+CCLK:"), false, " \"\r\n");
  if (!fields.HasMoreTokens()) return 1;
  time = fields.NextToken();
  return 0;
}

}  // namespace fonexa
