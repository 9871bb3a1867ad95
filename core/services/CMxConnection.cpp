#include "services/CMxConnection.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <iterator>
#include <map>
#include <thread>

#include "platform/MessageWindow.h"
#include "platform/SoundPlayer.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

using fonexa::TraceLog;
using fonexa::platform::ConnectionState;
using fonexa::platform::RemoteAccess;

namespace {

// The platform's connection states that reach the application, with their
// progress codes and trace names. Other states produce nothing.
struct ProgressRow {
  ConnectionState state;
  uint32_t code;
  const char* name;
};

constexpr ProgressRow kProgress[] = {
    {ConnectionState::OpenPort, 0, "OpenPort"},
    {ConnectionState::PortOpened, 1, "PortOpened"},
    {ConnectionState::ConnectDevice, 2, "ConnectDevice"},
    {ConnectionState::DeviceConnected, 3, "DeviceConnected"},
    {ConnectionState::AllDevicesConnected, 4, "LinkEstablished"},
    {ConnectionState::Authenticate, 5, "Authenticate"},
    {ConnectionState::Authenticated, 6, "Authenticated"},
    {ConnectionState::Connected, 7, "Connected"},
};

constexpr uint32_t kConnectionEnded = 8;

// Notify windows by key. A window's procedure gets the key, not the object, so
// that a dial event racing with the window's destruction finds nothing instead
// of freed memory; and the threads inside a window's procedure are counted, so
// that destruction can wait for them.
struct NotifyWindows {
  std::mutex mutex;
  std::condition_variable left;
  std::map<uintptr_t, CMxConnectionNotifyWnd*> live;
  std::multimap<uintptr_t, std::thread::id> inside;
  uintptr_t next = 1;
};

// Never destroyed: a watcher thread may still be on its way out of a window's
// procedure when the process ends.
NotifyWindows& Windows() {
  static auto* windows = new NotifyWindows;
  return *windows;
}

int Capped(uint64_t value) { return value > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value); }

}  // namespace

// ---- Notify window ---------------------------------------------------------

MxWindow CMxConnectionNotifyWnd::CreateWindowFor(IMxConnectionHandler* handler, MxWindow target, CMxConnection* owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_handler = handler;
  m_targetWindow = target;
  m_owner = owner;
  if (m_window) return m_window;
  uintptr_t id;
  {
    std::lock_guard<std::mutex> windows(Windows().mutex);
    id = Windows().next++;
    Windows().live[id] = this;
  }
  m_window = fonexa::platform::CreateMessageWindow(&CMxConnectionNotifyWnd::Procedure, reinterpret_cast<void*>(id));
  if (!m_window) {
    std::lock_guard<std::mutex> windows(Windows().mutex);
    Windows().live.erase(id);
    return nullptr;
  }
  m_id = id;
  return m_window;
}

void CMxConnectionNotifyWnd::DestroyWindow() {
  MxWindow window;
  uintptr_t id;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    window = m_window;
    id = m_id;
    m_window = nullptr;
    m_id = 0;
  }
  if (!window) return;
  fonexa::platform::DestroyMessageWindow(window);
  std::unique_lock<std::mutex> windows(Windows().mutex);
  Windows().live.erase(id);
  // A handler that releases its connection from inside a progress call is
  // itself inside: only the other threads are waited for.
  Windows().left.wait(windows, [&] {
    const auto [first, last] = Windows().inside.equal_range(id);
    for (auto it = first; it != last; ++it) {
      if (it->second != std::this_thread::get_id()) return false;
    }
    return true;
  });
}

intptr_t CMxConnectionNotifyWnd::Procedure(MxWindow, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                           void* context) {
  const auto id = reinterpret_cast<uintptr_t>(context);
  CMxConnectionNotifyWnd* self;
  std::multimap<uintptr_t, std::thread::id>::iterator entry;
  {
    std::lock_guard<std::mutex> windows(Windows().mutex);
    const auto it = Windows().live.find(id);
    if (it == Windows().live.end()) return 0;
    self = it->second;
    entry = Windows().inside.emplace(id, std::this_thread::get_id());
  }
  const intptr_t result = self->WindowProc(message, wParam, lParam);
  {
    std::lock_guard<std::mutex> windows(Windows().mutex);
    Windows().inside.erase(entry);
  }
  Windows().left.notify_all();
  return result;
}

// The handler may release the connection from inside a progress call, and
// that destroys this window: nothing here touches the object after Notify or
// TerminateConnection.
intptr_t CMxConnectionNotifyWnd::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message != RemoteAccess::kDialEventMessage) return 0;
  const auto state = static_cast<ConnectionState>(wParam);
  CMxConnection* owner;
  IMxConnectionHandler* handler;
  MxWindow target;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    owner = m_owner;
    handler = m_handler;
    target = m_targetWindow;
  }
  if (state == ConnectionState::Disconnected) {
    TraceLog().Write("CMxConnectionNotifyWnd::WindowProc>>Disconnected\r\n");
    if (owner) owner->TerminateConnection();
    return 0;
  }
  const ProgressRow* row = nullptr;
  for (const auto& r : kProgress) {
    if (r.state == state) row = &r;
  }
  if (!row) return 0;
  TraceLog().Write("CMxConnectionNotifyWnd::WindowProc>>%s\r\n", row->name);
  if (state == ConnectionState::Connected && owner) owner->PlayConnectSound();
  CMxConnection::Notify(handler, target, row->code, static_cast<uint32_t>(lParam));
  return 0;
}

// ---- Connection ------------------------------------------------------------

CMxConnection::~CMxConnection() {
  _RemoveConnection();
  m_notifyWnd.DestroyWindow();
}

int CMxConnection::OpenConnectionHwnd(const std::string& entry, MxWindow window, const std::string& user,
                                      const std::string& password, const std::string& domain) {
  return _AddConnection(entry, nullptr, window, user, password, domain);
}

int CMxConnection::OpenConnection(const std::string& entry, IMxConnectionHandler* handler, const std::string& user,
                                  const std::string& password, const std::string& domain) {
  return _AddConnection(entry, handler, nullptr, user, password, domain);
}

CMxConnection::Handle CMxConnection::ConnectionHandle() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_connection;
}

int CMxConnection::GetStatus() {
  const Handle handle = ConnectionHandle();
  if (handle == RemoteAccess::kNoHandle) return kNoConnection;
  RemoteAccess::Status status;
  if (RemoteAccess::GetConnectStatus(handle, &status) != 0) {
    TraceLog().Write("CMxConnection::GetStatus(Error)\r\n");
    return kDisconnected;
  }
  TraceLog().Write("CMxConnection::GetStatus(%d)\r\n", static_cast<int>(status.state));
  if (status.state == ConnectionState::Connected) return kConnected;
  if (status.state == ConnectionState::Disconnected) return kDisconnected;
  return kInProgress;
}

int CMxConnection::_AddConnection(const std::string& entry, IMxConnectionHandler* handler, MxWindow window,
                                  const std::string& user, const std::string& password, const std::string& domain) {
  Handle previous = ConnectionHandle();
  if (previous != RemoteAccess::kNoHandle) {
    const int status = GetStatus();
    if (status == kConnected || status == kInProgress) return 1;
    // A connection that has ended still holds the platform's resources until
    // it is hung up.
    RemoteAccess::HangUp(previous);
    WaitForRelease(previous);
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entryName.clear();
    m_userName.clear();
    m_password.clear();
    m_domain.clear();
    m_handler = nullptr;
    m_targetWindow = nullptr;
    m_connection = RemoteAccess::kNoHandle;
    m_asynchronous = 0;
  }
  // The password is a secret even in the trace: it shows as stars.
  TraceLog().Write("CMxConnection::_AddConnection(%s,%s,%s,%s)\r\n", entry.c_str(), user.c_str(),
                   password.empty() ? "" : "********", domain.c_str());
  const RemoteAccess::DialParameters parameters{entry, user, password, domain};

  MxWindow notifyWindow = nullptr;
  if (handler || window) {
    TraceLog().Write("CMxConnection::_AddConnection::Starts asynchronous connection.\r\n");
    notifyWindow = _CreateNotifyWnd(handler, window);
    if (notifyWindow) {
      TraceLog().Write("CMxConnection::_AddConnection::MxConnectionProgressDlg created for connection.\r\n");
      std::lock_guard<std::mutex> lock(m_mutex);
      m_handler = handler;
      m_targetWindow = window;
    }
  }

  TraceLog().Write("CMxConnection::_AddConnection::RasDial...\r\n");
  Handle handle = RemoteAccess::kNoHandle;
  const uint32_t error = RemoteAccess::Dial(parameters, notifyWindow, &handle);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connection = handle;
  }
  if (error != 0) {
    TraceLog().Write("CMxConnection::_AddConnection::RasDial:ERROR:%i\r\n", static_cast<int>(error));
    _RemoveConnection();
    return 0;
  }
  TraceLog().Write("CMxConnection::_AddConnection::RasDial:OK\r\n");
  if (notifyWindow) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_asynchronous = 1;
  } else {
    PlayConnectSound();
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  m_entryName = entry;
  m_userName = user;
  m_password = password;
  m_domain = domain;
  return 1;
}

MxWindow CMxConnection::_CreateNotifyWnd(IMxConnectionHandler* handler, MxWindow window) {
  if (!handler && !window) return nullptr;
  MxWindow created = m_notifyWnd.CreateWindowFor(handler, window, this);
  if (!created) TraceLog().Write("CMxConnection::_CreateNotifyWnd>>ERROR\r\n");
  return created;
}

bool CMxConnection::WaitForRelease(Handle handle) {
  const uint32_t start = fonexa::platform::TickCount();
  bool secondSignal = false;
  bool forced = false;
  for (;;) {
    if (RemoteAccess::GetConnectStatus(handle, nullptr) == RemoteAccess::kErrorInvalidHandle) return true;
    const uint32_t waited = fonexa::platform::TickCount() - start;
    if (waited >= kReleaseLimitMs) {
      TraceLog().Write("CMxConnection::_RemoveConnection:Gave up waiting\r\n");
      return false;
    }
    // pppd may be busy ending the link politely, or may not hear us at all.
    if (!secondSignal && waited >= kSecondSignalMs) {
      secondSignal = true;
      TraceLog().Write("CMxConnection::_RemoveConnection:RasHangUp again\r\n");
      RemoteAccess::HangUp(handle);
    }
    if (!forced && waited >= kForcedEndMs) {
      forced = true;
      TraceLog().Write("CMxConnection::_RemoveConnection:Forced end\r\n");
      RemoteAccess::EndForcibly(handle);
    }
    fonexa::platform::SleepMs(std::min(kStatusPollMs, kReleaseLimitMs - waited));
  }
}

int CMxConnection::_RemoveConnection() {
  TraceLog().Write("CMxConnection::_RemoveConnection\r\n");
  Handle handle;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    handle = m_connection;
    m_connection = RemoteAccess::kNoHandle;
  }
  if (handle != RemoteAccess::kNoHandle) {
    TraceLog().Write("CMxConnection::_RemoveConnection:RasHangUp\r\n");
    RemoteAccess::HangUp(handle);
    TraceLog().Write("CMxConnection::_RemoveConnection:Wait for ERROR_INVALID_HANDLE\r\n");
    if (WaitForRelease(handle)) TraceLog().Write("CMxConnection::_RemoveConnection:ERROR_INVALID_HANDLE came \r\n");
    PlayDisconnectSound();
  }
  TerminateConnection();
  return 1;
}

void CMxConnection::TerminateConnection() {
  IMxConnectionHandler* handler;
  MxWindow window;
  Handle handle;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_handler && !m_targetWindow) return;
    handler = m_handler;
    window = m_targetWindow;
    handle = m_connection;
    m_handler = nullptr;
    m_targetWindow = nullptr;
    m_entryName.clear();
    m_userName.clear();
    m_password.clear();
    m_domain.clear();
    m_asynchronous = 0;
    m_connection = RemoteAccess::kNoHandle;
  }
  // The link has ended; hanging it up lets the platform let go of it, which a
  // handle forgotten without a hang-up never would.
  if (handle != RemoteAccess::kNoHandle) {
    RemoteAccess::HangUp(handle);
    RemoteAccess::GetConnectStatus(handle, nullptr);
  }
  Notify(handler, window, kConnectionEnded, 0);
  TraceLog().Write("CMxConnection::TerminateConnection:EXIT\r\n");
}

void CMxConnection::Notify(IMxConnectionHandler* handler, MxWindow window, uint32_t code, uint32_t error) {
  if (handler) {
    handler->OnConnectionProgress(code, error);
  } else if (window) {
    fonexa::platform::SendWindowMessage(window, FONEXA_EVENT_MESSAGE, code, static_cast<intptr_t>(error));
  }
}

void CMxConnection::SetConnectionTones(const std::string& connectSound, const std::string& disconnectSound) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_connectSound = connectSound;
  m_disconnectSound = disconnectSound;
}

void CMxConnection::PlayConnectSound() {
  std::string sound;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    sound = m_connectSound;
  }
  fonexa::platform::SoundPlayer::PlayAsync(sound);
}

void CMxConnection::PlayDisconnectSound() {
  std::string sound;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    sound = m_disconnectSound;
  }
  fonexa::platform::SoundPlayer::PlayAsync(sound);
}

int CMxConnection::GetSpeed() { return Capped(RemoteAccess::GetFigures(ConnectionHandle()).speed); }
int CMxConnection::GetDuration() { return Capped(RemoteAccess::GetFigures(ConnectionHandle()).seconds); }
int CMxConnection::GetSentBytes() { return Capped(RemoteAccess::GetFigures(ConnectionHandle()).sentBytes); }
int CMxConnection::GetReceivedBytes() { return Capped(RemoteAccess::GetFigures(ConnectionHandle()).receivedBytes); }
