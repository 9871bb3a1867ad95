// GPRS dial-up connections: a connection object per handle, no instance and
// no device lock (pppd owns the modem's port while the link is up).
#include <new>
#include <string>

#include "fonexa/FonexaCore.h"
#include "services/CMxConnection.h"

namespace {

CMxConnection* ConnectionOf(MxConnectionHandle c) { return reinterpret_cast<CMxConnection*>(c); }

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" {

MxConnectionHandle GprsCreate(void) { return reinterpret_cast<MxConnectionHandle>(new (std::nothrow) CMxConnection); }

void GprsRelease(MxConnectionHandle c) { delete ConnectionOf(c); }

int GprsOpenConnection(MxConnectionHandle c, const char* entry, IMxConnectionHandler* handler, const char* user,
                       const char* password, const char* domain) {
  if (!ConnectionOf(c) || !entry) return 0;
  return ConnectionOf(c)->OpenConnection(entry, handler, Text(user), Text(password), Text(domain));
}

int GprsOpenConnectionHwnd(MxConnectionHandle c, const char* entry, MxWindow window, const char* user,
                           const char* password, const char* domain) {
  if (!ConnectionOf(c) || !entry) return 0;
  return ConnectionOf(c)->OpenConnectionHwnd(entry, window, Text(user), Text(password), Text(domain));
}

int GprsCloseConnection(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->_RemoveConnection() : 0; }

int GprsSetConnectionTones(MxConnectionHandle c, const char* connectFile, const char* disconnectFile) {
  if (!ConnectionOf(c)) return 0;
  ConnectionOf(c)->SetConnectionTones(Text(connectFile), Text(disconnectFile));
  return 1;
}

int GprsGetStatus(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->GetStatus() : -1; }

int GprsGetSpeed(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->GetSpeed() : 0; }

int GprsGetDuration(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->GetDuration() : 0; }

int GprsGetSentBytes(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->GetSentBytes() : 0; }

int GprsGetReceivedBytes(MxConnectionHandle c) { return ConnectionOf(c) ? ConnectionOf(c)->GetReceivedBytes() : 0; }

}  // extern "C"
