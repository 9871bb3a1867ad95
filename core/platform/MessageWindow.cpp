#include "platform/MessageWindow.h"

#include <mutex>
#include <unordered_set>

struct MxWindowObject {
  MxWindowProc procedure;
  void* context;
};

namespace fonexa::platform {

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_set<MxWindow> live;
};

Registry& Windows() {
  static Registry registry;
  return registry;
}

}  // namespace

MxWindow CreateMessageWindow(MxWindowProc procedure, void* context) {
  if (!procedure) return nullptr;
  auto* window = new MxWindowObject{procedure, context};
  std::lock_guard<std::mutex> lock(Windows().mutex);
  Windows().live.insert(window);
  return window;
}

void DestroyMessageWindow(MxWindow window) {
  {
    std::lock_guard<std::mutex> lock(Windows().mutex);
    if (Windows().live.erase(window) == 0) return;
  }
  delete window;
}

bool IsMessageWindow(MxWindow window) {
  std::lock_guard<std::mutex> lock(Windows().mutex);
  return Windows().live.count(window) != 0;
}

intptr_t SendWindowMessage(MxWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  MxWindowProc procedure;
  void* context;
  {
    std::lock_guard<std::mutex> lock(Windows().mutex);
    if (Windows().live.count(window) == 0) return 0;
    procedure = window->procedure;
    context = window->context;
  }
  return procedure(window, message, wParam, lParam, context);
}

}  // namespace fonexa::platform
