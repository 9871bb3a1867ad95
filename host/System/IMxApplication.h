// What a client application library gives the host. The library exports
//
//   extern "C" IMxApplication* GetApplicationInstance(CMxServer* server);
//
// which returns the library's application object, or null when it cannot run.
// The host calls Start once, right after the object was returned, and never
// deletes it: the object lives until the host unloads the library at exit.
// Whatever the application shows belongs to the server window (see
// CMxServer::AddApplication), which the host deletes before it unloads the
// libraries, so pages must not outlive their window.
#pragma once

class CMxServer;

class IMxApplication {
 public:
  virtual int Start() = 0;

 protected:
  ~IMxApplication() = default;
};

extern "C" {
using MxGetApplicationInstance = IMxApplication* (*)(CMxServer* server);
}
