// Message targets for event notifications (the engine's stand-in for windows).
//
// A window is a procedure with a context. Sending a message calls the
// procedure at once on the sending thread. Windows are looked up in a registry
// on every send, so a message to a window destroyed meanwhile goes nowhere
// instead of into freed memory.
#pragma once

#include <cstdint>

#include "fonexa/FonexaCore.h"

namespace fonexa::platform {

MxWindow CreateMessageWindow(MxWindowProc procedure, void* context);
void DestroyMessageWindow(MxWindow window);
bool IsMessageWindow(MxWindow window);
intptr_t SendWindowMessage(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace fonexa::platform
