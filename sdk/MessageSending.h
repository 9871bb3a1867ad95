// Sending a UTF-8 text with options, for both facades: the engine's flags
// from the options, and its id and part references into the result.
#pragma once

#include "fonexa/FonexaCore.h"
#include "fonexa/FonexaTypes.h"

namespace Mebrix::Fonexa::sdk {

// The message's id, or 0 when a part was refused.
int SendUtf8Message(MxGsmHandle handle, const char* phone, const char* text, const SmsSendOptions& options,
                    SmsSendResult& result);

}  // namespace Mebrix::Fonexa::sdk
