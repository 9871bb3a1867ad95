// The frame every locked export runs in: the handle checked, the instance lock
// taken under the export's own name, one service call, the lock released, and
// only then the results copied out to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "fonexa/FonexaCore.h"
#include "wrapper/CMxGsmWrapper.h"
#include "wrapper/LiveInstances.h"

namespace fonexa {

// The live instance behind a handle, held for as long as the reference lives;
// empty for a null handle, one released, or one never given out.
inline LiveInstances::Ref InstanceOf(MxGsmHandle h) { return LiveInstances::Find(reinterpret_cast<uintptr_t>(h)); }

// Runs call(instance) while the export holds the instance shared (see
// InstanceUseLock), without the session lock: for the exports that take no
// lock or manage it themselves. Returns failure for a null handle, or when the
// instance is being released or stayed in re-initialisation for the whole
// export time-out.
template <class Result, class Call>
Result InUse(MxGsmHandle h, Result failure, Call&& call) {
  const LiveInstances::Ref instance = InstanceOf(h);
  if (!instance) return failure;
  SharedUse use(instance->UseLock(), CMxGsmWrapper::kExportLockMs);
  return use ? call(*instance) : failure;
}

// Runs call(instance) under the instance lock. Returns nothing when the handle
// is null or the lock was refused: then nothing was sent, and the caller's
// buffers must stay untouched.
template <class Call>
auto Locked(MxGsmHandle h, const char* owner, Call&& call) -> std::optional<decltype(call(*InstanceOf(h)))> {
  const LiveInstances::Ref instance = InstanceOf(h);
  if (!instance) return std::nullopt;
  SharedUse use(instance->UseLock(), CMxGsmWrapper::kExportLockMs);
  if (!use || !instance->Attach(owner, CMxGsmWrapper::kExportLockMs)) return std::nullopt;
  auto result = call(*instance);
  instance->Detach();
  return result;
}

// Runs call(service) under the instance lock, with a service object of type S
// (CMxGsmSms, CMxGsmNetwork, ...) made over the instance's session for this one
// request, as every family's exports need it.
template <class S, class Call>
auto WithService(MxGsmHandle h, const char* owner, Call&& call) -> std::optional<decltype(call(std::declval<S&>()))> {
  return Locked(h, owner, [&](CMxGsmWrapper& w) {
    S service(&w.Session());
    return call(service);
  });
}

// The same for exports that also need the device profile.
template <class Call>
auto LockedWithDevice(MxGsmHandle h, const char* owner, Call&& call)
    -> std::optional<decltype(call(*InstanceOf(h)->Session().GetDevice()))> {
  const LiveInstances::Ref instance = InstanceOf(h);
  if (!instance) return std::nullopt;
  // Held already here, so that a re-initialisation cannot replace the profile
  // between the look and the call; Locked enters again at once.
  SharedUse use(instance->UseLock(), CMxGsmWrapper::kExportLockMs);
  if (!use || !instance->Session().GetDevice()) return std::nullopt;
  return Locked(h, owner, [&](CMxGsmWrapper& w) { return call(*w.Session().GetDevice()); });
}

// Copies text with its NUL into out, cut to size bytes (NUL included).
inline void CopyText(const std::string& text, char* out, size_t size) {
  if (!out || size == 0) return;
  const size_t length = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

template <size_t N>
inline void CopyText(const std::string& text, char (&field)[N]) {
  CopyText(text, field, N);
}

inline void Store(int* out, int value) {
  if (out) *out = value;
}

}  // namespace fonexa
