// A fresh temporary folder, removed with everything in it at the end of a test.
#pragma once

#include <string>

namespace fonexa::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace fonexa::testing
