#include "wrapper/LiveInstances.h"

#include <condition_variable>
#include <map>
#include <mutex>

namespace fonexa {

struct LiveInstances::Slot {
  CMxGsmWrapper* instance = nullptr;
  int users = 0;
};

namespace {

struct Registry {
  std::mutex lock;
  std::condition_variable released;
  uintptr_t nextHandle = 1;
  std::map<uintptr_t, std::shared_ptr<LiveInstances::Slot>> live;
  // Removed but perhaps still in use by an export that found it before.
  std::map<CMxGsmWrapper*, std::shared_ptr<LiveInstances::Slot>> retiring;
};

// Never destroyed: exports may run while the process ends.
Registry& Instances() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

LiveInstances::Ref::Ref(std::shared_ptr<Slot> slot) : slot_(std::move(slot)), instance_(slot_->instance) {}

LiveInstances::Ref::~Ref() {
  if (!slot_) return;
  std::lock_guard<std::mutex> guard(Instances().lock);
  --slot_->users;
  Instances().released.notify_all();
}

LiveInstances::Ref& LiveInstances::Ref::operator=(Ref&& other) noexcept {
  if (this != &other) {
    Ref gone(std::move(*this));
    slot_ = std::move(other.slot_);
    instance_ = other.instance_;
    other.instance_ = nullptr;
  }
  return *this;
}

uintptr_t LiveInstances::Add(CMxGsmWrapper* instance) {
  std::lock_guard<std::mutex> guard(Instances().lock);
  const uintptr_t handle = Instances().nextHandle++;
  auto slot = std::make_shared<Slot>();
  slot->instance = instance;
  Instances().live[handle] = std::move(slot);
  return handle;
}

LiveInstances::Ref LiveInstances::Find(uintptr_t handle) {
  std::lock_guard<std::mutex> guard(Instances().lock);
  const auto found = Instances().live.find(handle);
  if (found == Instances().live.end()) return Ref();
  ++found->second->users;
  return Ref(found->second);
}

CMxGsmWrapper* LiveInstances::Remove(uintptr_t handle) {
  std::lock_guard<std::mutex> guard(Instances().lock);
  const auto found = Instances().live.find(handle);
  if (found == Instances().live.end()) return nullptr;
  CMxGsmWrapper* instance = found->second->instance;
  Instances().retiring[instance] = found->second;
  Instances().live.erase(found);
  return instance;
}

void LiveInstances::WaitUntilUnused(CMxGsmWrapper* instance) {
  std::unique_lock<std::mutex> guard(Instances().lock);
  const auto found = Instances().retiring.find(instance);
  if (found == Instances().retiring.end()) return;
  const std::shared_ptr<Slot> slot = found->second;
  Instances().released.wait(guard, [&] { return slot->users == 0; });
  Instances().retiring.erase(instance);
}

}  // namespace fonexa
