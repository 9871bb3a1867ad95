#include "platform/SharedLibrary.h"

#include <gtest/gtest.h>
#include <stdlib.h>

using fonexa::platform::SharedLibrary;

namespace {

class PluginPath {
 public:
  explicit PluginPath(const char* value) {
    const char* old = getenv("FONEXA_PLUGIN_PATH");
    had_ = old != nullptr;
    if (had_) saved_ = old;
    setenv("FONEXA_PLUGIN_PATH", value, 1);
  }
  ~PluginPath() {
    if (had_) {
      setenv("FONEXA_PLUGIN_PATH", saved_.c_str(), 1);
    } else {
      unsetenv("FONEXA_PLUGIN_PATH");
    }
  }

 private:
  bool had_ = false;
  std::string saved_;
};

}  // namespace

TEST(SharedLibrary, DllNamesAreSearchedInTheDocumentedOrder) {
  PluginPath path("/opt/a:/opt/b");
  const auto candidates = SharedLibrary::Candidates("GenericPhone.dll");
  ASSERT_GE(candidates.size(), 6u);
  EXPECT_EQ(candidates[0], "/opt/a/GenericPhone.so");
  EXPECT_EQ(candidates[1], "/opt/a/libGenericPhone.so");
  EXPECT_EQ(candidates[2], "/opt/b/GenericPhone.so");
  EXPECT_EQ(candidates[4], SharedLibrary::PluginFolder() + "/GenericPhone.so");
  EXPECT_EQ(candidates[candidates.size() - 2], "libGenericPhone.so");
  EXPECT_EQ(candidates.back(), "GenericPhone.so");
}

TEST(SharedLibrary, OtherNamesGetOnlyTheNormalSearch) {
  PluginPath path("/opt/a");
  EXPECT_EQ(SharedLibrary::Candidates("libClient.so"), std::vector<std::string>{"libClient.so"});
  EXPECT_EQ(SharedLibrary::Candidates("/x/Phone.DLL"), (std::vector<std::string>{"/x/Phone.so", "/x/libPhone.so"}));
}

TEST(SharedLibrary, LoadsByDllNameAndFindsExports) {
  PluginPath path("/nonexistent:" LOADABLE_DIR);
  SharedLibrary::Handle library = SharedLibrary::Load("FonexaLoadable.dll");
  ASSERT_NE(library, nullptr) << SharedLibrary::LastError();
  auto* answer = reinterpret_cast<int (*)()>(SharedLibrary::Symbol(library, "FonexaLoadableAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(SharedLibrary::Symbol(library, "NoSuchExport"), nullptr);
  EXPECT_TRUE(SharedLibrary::Unload(library));
}

TEST(SharedLibrary, MissingLibraryLoadsNothing) {
  PluginPath path(LOADABLE_DIR);
  EXPECT_EQ(SharedLibrary::Load("NoSuchPhone.dll"), nullptr);
  EXPECT_FALSE(SharedLibrary::Unload(nullptr));
}
