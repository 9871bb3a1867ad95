// CMxConnection: one GPRS dial-up connection through the remote access
// service (pppd). It dials an entry with user name, password and domain,
// either waiting for the link or in the background with progress codes for an
// application handler or window, reports the connection's state, hangs up, and
// plays a sound when the link comes up and after it was hung up.
//
// Progress of a background dial arrives on the remote access layer's watcher
// thread: the hidden notify window turns the platform's connection states
// into the codes 0..7, and code 8 when the link has ended.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "fonexa/FonexaCore.h"
#include "platform/RemoteAccess.h"

class CMxConnection;

// The hidden window that receives the platform's dial events for a connection.
class CMxConnectionNotifyWnd {
 public:
  CMxConnectionNotifyWnd() = default;
  ~CMxConnectionNotifyWnd() { DestroyWindow(); }
  CMxConnectionNotifyWnd(const CMxConnectionNotifyWnd&) = delete;
  CMxConnectionNotifyWnd& operator=(const CMxConnectionNotifyWnd&) = delete;

  // Points the window at handler or target and creates it when it does not
  // exist yet; the window, or null when it could not be made.
  MxWindow CreateWindowFor(IMxConnectionHandler* handler, MxWindow target, CMxConnection* owner);
  // Destroys the window and waits until no other thread is inside WindowProc.
  void DestroyWindow();

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  static intptr_t Procedure(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context);

  std::mutex m_mutex;
  IMxConnectionHandler* m_handler = nullptr;
  MxWindow m_targetWindow = nullptr;
  CMxConnection* m_owner = nullptr;
  MxWindow m_window = nullptr;
  uintptr_t m_id = 0;  // the window's context: a key, never this object's address
};

class CMxConnection {
 public:
  // _RemoveConnection asks pppd to end, asks again after kSecondSignalMs, ends
  // it forcibly after kForcedEndMs, and stops waiting after kReleaseLimitMs: a
  // close never blocks its caller longer than 8 seconds.
  static constexpr uint32_t kStatusPollMs = 200;
  static constexpr uint32_t kSecondSignalMs = 3000;
  static constexpr uint32_t kForcedEndMs = 6000;
  static constexpr uint32_t kReleaseLimitMs = 8000;

  // GetStatus answers.
  static constexpr int kNoConnection = -1;
  static constexpr int kConnected = 7;
  static constexpr int kDisconnected = 8;
  static constexpr int kInProgress = 99;

  CMxConnection() = default;
  // Hangs up, then destroys the notify window.
  virtual ~CMxConnection();
  CMxConnection(const CMxConnection&) = delete;
  CMxConnection& operator=(const CMxConnection&) = delete;

  virtual int OpenConnectionHwnd(const std::string& entry, MxWindow window, const std::string& user,
                                 const std::string& password, const std::string& domain);
  virtual int OpenConnection(const std::string& entry, IMxConnectionHandler* handler, const std::string& user,
                             const std::string& password, const std::string& domain);
  // -1 without a connection; 7 connected, 8 disconnected (also when the
  // platform cannot tell), 99 on the way.
  virtual int GetStatus();

  int _AddConnection(const std::string& entry, IMxConnectionHandler* handler, MxWindow window,
                     const std::string& user, const std::string& password, const std::string& domain);
  // Hangs up and waits (bounded, see above) until pppd is gone; always 1.
  int _RemoveConnection();
  // Tells the handler or window that the connection has ended (code 8) and
  // forgets it; does nothing when nobody follows the connection.
  void TerminateConnection();
  MxWindow _CreateNotifyWnd(IMxConnectionHandler* handler, MxWindow window);

  void SetConnectionTones(const std::string& connectSound, const std::string& disconnectSound);
  void PlayConnectSound();

  // The link's figures while it is up, else 0; capped at INT32_MAX.
  int GetSpeed();
  int GetDuration();
  int GetSentBytes();
  int GetReceivedBytes();

  // Code to the handler, or else message FONEXA_EVENT_MESSAGE to the window.
  static void Notify(IMxConnectionHandler* handler, MxWindow window, uint32_t code, uint32_t error);

 private:
  using Handle = fonexa::platform::RemoteAccess::Handle;

  Handle ConnectionHandle();
  // Waits until the platform has let go of handle; false when it gave up.
  bool WaitForRelease(Handle handle);
  void PlayDisconnectSound();

  std::mutex m_mutex;
  std::string m_entryName;
  std::string m_userName;
  std::string m_password;
  std::string m_domain;
  Handle m_connection = fonexa::platform::RemoteAccess::kNoHandle;
  int m_asynchronous = 0;
  std::string m_disconnectSound = "disconnect.wav";
  std::string m_connectSound = "connect.wav";
  IMxConnectionHandler* m_handler = nullptr;
  MxWindow m_targetWindow = nullptr;
  CMxConnectionNotifyWnd m_notifyWnd;
};
