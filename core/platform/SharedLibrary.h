// Loading shared libraries by name.
//
// Device plug-ins are named the way applications have always named them
// ("GenericPhone.dll"). A name ending in ".dll" is mapped to this platform's
// shared objects and searched for, in order, in the folders of
// FONEXA_PLUGIN_PATH, in the plug-in folder beside the core library, and then
// by the system's normal search. Any other name gets the normal search only.
#pragma once

#include <string>
#include <vector>

namespace fonexa::platform {

class SharedLibrary {
 public:
  using Handle = void*;

  // The candidate file names tried for a name, in search order.
  static std::vector<std::string> Candidates(const std::string& name);
  static Handle Load(const std::string& name);
  static void* Symbol(Handle library, const char* symbol);
  static bool Unload(Handle library);
  // The text of the loader's last failure, for traces.
  static std::string LastError();
  // The folder plug-ins are installed in, found from the core library's own file.
  static std::string PluginFolder();
};

}  // namespace fonexa::platform
