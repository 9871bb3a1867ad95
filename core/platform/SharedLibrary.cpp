#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <mutex>

namespace fonexa::platform {

namespace {

constexpr const char* kPluginFolderName = "fonexa-plugins";

bool EndsWithDll(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".dll";
}

bool IsFile(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Loads and unloads take turns. The loader orders them anyway under a lock of
// its own, but nothing of that is visible to the program: a plug-in unloaded on
// the monitor thread and loaded again at once by a new instance on another
// thread lands at the same address, and its static objects' destructors and
// constructors then look unordered to a race detector. Recursive, because a
// library's constructors or destructors may load or unload another one.
std::recursive_mutex& LoaderTurn() {
  static std::recursive_mutex turn;
  return turn;
}

}  // namespace

std::string SharedLibrary::PluginFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&SharedLibrary::PluginFolder), &info) == 0 || !info.dli_fname) return {};
  return FolderOf(info.dli_fname) + "/" + kPluginFolderName;
}

std::vector<std::string> SharedLibrary::Candidates(const std::string& name) {
  if (!EndsWithDll(name)) return {name};
  const std::string stem = name.substr(0, name.size() - 4);
  const std::string base = stem.substr(stem.rfind('/') == std::string::npos ? 0 : stem.rfind('/') + 1);
  if (stem.find('/') != std::string::npos) {
    const std::string folder = FolderOf(stem);
    return {folder + "/" + base + ".so", folder + "/lib" + base + ".so"};
  }
  std::vector<std::string> folders;
  if (const char* path = std::getenv("FONEXA_PLUGIN_PATH"); path && *path) {
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
      const size_t end = all.find(':', start);
      const std::string folder = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!folder.empty()) folders.push_back(folder);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  const std::string beside = PluginFolder();
  if (!beside.empty()) {
    folders.push_back(beside);
    // A program in bin/ next to lib/ (the build tree and the installed layout).
    folders.push_back(FolderOf(FolderOf(beside)) + "/lib/" + kPluginFolderName);
  }
  std::vector<std::string> candidates;
  for (const auto& folder : folders) {
    candidates.push_back(folder + "/" + base + ".so");
    candidates.push_back(folder + "/lib" + base + ".so");
  }
  candidates.push_back("lib" + base + ".so");
  candidates.push_back(base + ".so");
  return candidates;
}

SharedLibrary::Handle SharedLibrary::Load(const std::string& name) {
  std::lock_guard<std::recursive_mutex> turn(LoaderTurn());
  for (const auto& candidate : Candidates(name)) {
    if (candidate.find('/') != std::string::npos && !IsFile(candidate)) continue;
    if (Handle handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  }
  return nullptr;
}

void* SharedLibrary::Symbol(Handle library, const char* symbol) {
  if (!library || !symbol) return nullptr;
  return dlsym(library, symbol);
}

bool SharedLibrary::Unload(Handle library) {
  if (!library) return false;
  std::lock_guard<std::recursive_mutex> turn(LoaderTurn());
  return dlclose(library) == 0;
}

std::string SharedLibrary::LastError() {
  const char* text = dlerror();
  return text ? text : "";
}

}  // namespace fonexa::platform
