#include "services/CMxGsmSms.h"

#include "services/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::ServiceDialogue;
using fonexa::TraceLog;

int CMxGsmSms::SetMessageAknowledge(int n) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetMessageAknowledge(%i)\r\n", n);
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SetMessageAknowledge");
  if (!dialogue.RequireOpen("ERROR:Can't open the port.")) return 0;
  const std::string command = "AT+CNMA=" + std::to_string(n) + "\r";
  TraceLog().Write("CMxGsmSms::SetMessageAknowledge>>Send:[%s].\r\n", command.c_str());
  const std::string echo = dialogue.Send(command);
  TraceLog().Write("CMxGsmSms::SetMessageAknowledge>>Echo:[%s].\r\n", echo.c_str());
  const std::string answer = dialogue.Final();
  TraceLog().Write("CMxGsmSms::SetMessageAknowledge>>Response:[%s].\r\n", answer.c_str());
  if (!dialogue.IsOk(answer)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
}
