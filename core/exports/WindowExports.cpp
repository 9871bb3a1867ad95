// Window handles for C applications that want events as messages.
#include "fonexa/FonexaCore.h"
#include "platform/MessageWindow.h"

extern "C" {

MxWindow MxCreateWindow(MxWindowProc proc, void* context) {
  return fonexa::platform::CreateMessageWindow(proc, context);
}

void MxDestroyWindow(MxWindow window) { fonexa::platform::DestroyMessageWindow(window); }

intptr_t MxSendMessage(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return fonexa::platform::SendWindowMessage(window, message, wParam, lParam);
}

}  // extern "C"
