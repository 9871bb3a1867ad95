#include "ClientLibraries.h"

#include <dlfcn.h>

#include <cerrno>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "HostLog.h"

namespace {

// The loader reports in words and does not always leave errno behind; the
// log's number is errno when it is there, else read off the loader's words:
// a file that is not there, or one that is there but cannot be used.
int loadErrorCode(int error, const char* reason) {
  if (error != 0) return error;
  if (reason != nullptr && std::strstr(reason, "No such file") != nullptr) return ENOENT;
  return ENOEXEC;
}

}  // namespace

void LoadClientLibraries(const QString& names, HostLog& log, std::vector<ApplicationEntry>& entries) {
  log.Write("Retrieving applications\r\n\r\n");
  entries.clear();
  const QStringList list = names.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (list.isEmpty()) return;
  for (const QString& name : list) {
    ApplicationEntry entry;
    entry.libraryName = name.toStdString();
    log.Write("DLL name: %s\r\n", entry.libraryName.c_str());
    errno = 0;
    entry.module = dlopen(entry.libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (entry.module != nullptr) {
      log.Write("DLL loaded into memory\r\n");
      entry.factory = reinterpret_cast<MxGetApplicationInstance>(dlsym(entry.module, "GetApplicationInstance"));
      log.Write("GetApplicationInstance function result: %d\r\n", entry.factory != nullptr ? 1 : 0);
    } else {
      // The loader's own words say which file or symbol was missing; the log
      // line keeps its fixed form, so they go to the terminal.
      const int error = errno;
      const char* reason = dlerror();
      std::fprintf(stderr, "tallix: %s\n", reason != nullptr ? reason : entry.libraryName.c_str());
      log.Write("ERROR: DLL not loaded into memory (%d)\r\n", loadErrorCode(error, reason));
    }
    entries.push_back(entry);
    log.Write("Application added to array\r\n\r\n");
  }
  log.Write("%d application DLLs loaded\r\n\r\n", static_cast<int>(entries.size()));
}

void UnloadClientLibraries(std::vector<ApplicationEntry>& entries) {
  for (ApplicationEntry& entry : entries) {
    if (entry.module != nullptr) dlclose(entry.module);
    entry.module = nullptr;
    entry.factory = nullptr;
  }
  entries.clear();
}
