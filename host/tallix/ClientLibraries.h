// The client application libraries named in the description: loaded in the
// order written, kept loaded while the host runs, unloaded at exit.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "System/IMxApplication.h"

class HostLog;

struct ApplicationEntry {
  std::string libraryName;                    // as written in the description
  void* module = nullptr;                     // null when loading failed
  MxGetApplicationInstance factory = nullptr; // null when the library has none
};

// Splits the list at spaces (runs of spaces count once) and loads each library
// by its name with the system's normal search, writing what happens to log.
// A library that fails to load still gets its entry.
void LoadClientLibraries(const QString& names, HostLog& log, std::vector<ApplicationEntry>& entries);
// Unloads every library that was loaded and empties entries.
void UnloadClientLibraries(std::vector<ApplicationEntry>& entries);
