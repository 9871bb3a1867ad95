// The per-instance facade's events: the application's handler object is the
// engine registration itself.
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::Dynamic {

uint32_t Events::Register(uint32_t id, EventHandler* handler) { return RegisterEventHandler(m_handle, id, handler); }
uint32_t Events::Register(uint32_t id, MxWindow window) { return RegisterEventHandlerHwnd(m_handle, id, window); }
int Events::Unregister(uint32_t registrationId) { return UnregisterEventHandler(m_handle, registrationId); }
int Events::EnableNetworkEvents(int on) { return ::EnableNetworkEvents(m_handle, on); }
int Events::EnableClip(int on) { return ::EnableClip(m_handle, on); }
int Events::EnableClir(int on) { return ::EnableClir(m_handle, on); }

}  // namespace Mebrix::Fonexa::Dynamic
