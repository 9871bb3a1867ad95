#include "MessageSending.h"

namespace Mebrix::Fonexa::sdk {

int SendUtf8Message(MxGsmHandle handle, const char* phone, const char* text, const SmsSendOptions& options,
                    SmsSendResult& result) {
  const int flags = (options.flash ? FONEXA_SMS_FLASH : 0) | (options.deliveryReport ? FONEXA_SMS_STATUS_REPORT : 0);
  int references[FONEXA_MAX_PARTS] = {};
  int accepted = 0;
  const int id = SendSmsUtf8Ex(handle, phone, text, flags, &accepted, references, FONEXA_MAX_PARTS);
  if (accepted < 0) accepted = 0;
  if (accepted > FONEXA_MAX_PARTS) accepted = FONEXA_MAX_PARTS;
  result.messageId = id > 0 ? id : 0;
  result.references.assign(references, references + accepted);
  return result.messageId;
}

}  // namespace Mebrix::Fonexa::sdk
