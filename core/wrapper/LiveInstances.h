// The instances an application holds handles to. A handle is a number that is
// never given out twice, so a handle kept past its release (a service object
// that outlived its owner, a copy of the handle in another thread) is refused
// with the failure value instead of reaching freed memory, and never names a
// later instance by chance.
#pragma once

#include <cstdint>
#include <memory>

class CMxGsmWrapper;

namespace fonexa {

class LiveInstances {
 public:
  struct Slot;

  // What an export holds while it uses an instance: the instance is not
  // destroyed before every such reference has gone.
  class Ref {
   public:
    Ref() = default;
    explicit Ref(std::shared_ptr<Slot> slot);
    ~Ref();
    Ref(Ref&& other) noexcept = default;
    Ref& operator=(Ref&& other) noexcept;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    explicit operator bool() const { return instance_ != nullptr; }
    CMxGsmWrapper* get() const { return instance_; }
    CMxGsmWrapper* operator->() const { return instance_; }
    CMxGsmWrapper& operator*() const { return *instance_; }

   private:
    std::shared_ptr<Slot> slot_;
    CMxGsmWrapper* instance_ = nullptr;
  };

  // A new handle for instance (never 0).
  static uintptr_t Add(CMxGsmWrapper* instance);
  // The live instance of handle, or an empty reference.
  static Ref Find(uintptr_t handle);
  // Takes handle out: later finds are refused. Returns the instance, or null
  // when the handle was not live.
  static CMxGsmWrapper* Remove(uintptr_t handle);
  // Waits until no export holds a reference to instance any more (after its
  // handle was removed); the thread that destroys an instance calls it first.
  static void WaitUntilUnused(CMxGsmWrapper* instance);
};

}  // namespace fonexa
