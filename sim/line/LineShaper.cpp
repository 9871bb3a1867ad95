#include "sim/line/LineShaper.h"

#include <algorithm>

namespace fonexa::sim {

LineShaper::LineShaper(EventLoop& loop, Sink transmit, Sink deliver)
    : loop_(loop), transmit_(std::move(transmit)), deliver_(std::move(deliver)) {}

LineShaper::~LineShaper() { clear(); }

void LineShaper::clear() {
  if (outTimer_) loop_.cancel(*outTimer_);
  if (inTimer_) loop_.cancel(*inTimer_);
  outTimer_.reset();
  inTimer_.reset();
  out_.clear();
  in_.clear();
}

std::chrono::nanoseconds LineShaper::byteTime() const {
  return std::chrono::nanoseconds(1'000'000'000LL / std::max(1, conditions.bytesPerSecond));
}

void LineShaper::send(std::string bytes, OutputKind kind) {
  if (conditions.silent || bytes.empty()) return;
  if (kind == OutputKind::Response && dropNextLineEnd && bytes.size() >= 2 &&
      bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) {
    bytes.resize(bytes.size() - 2);
    dropNextLineEnd = false;
  }
  const auto now = Clock::now();
  // An idle line starts carrying the first byte now; it is through one byte
  // time later.
  if (out_.empty() && outLineFree_ < now) outLineFree_ = now;
  auto at = now;
  if (kind == OutputKind::Response) at += conditions.responseDelay;
  if (!out_.empty()) at = std::max(at, out_.back().notBefore);
  if (conditions.chunkSize == 0 || bytes.size() <= conditions.chunkSize) {
    out_.push_back({at, std::move(bytes)});
  } else {
    for (size_t i = 0; i < bytes.size(); i += conditions.chunkSize) {
      out_.push_back({at, bytes.substr(i, conditions.chunkSize)});
      at += conditions.chunkGap;
    }
  }
  if (!outTimer_) pumpOut();
}

void LineShaper::pumpOut() {
  outTimer_.reset();
  const auto now = Clock::now();
  while (!out_.empty()) {
    Chunk& chunk = out_.front();
    if (chunk.notBefore > now) {
      outTimer_ = loop_.scheduleAt(chunk.notBefore, [this] { pumpOut(); });
      return;
    }
    if (conditions.bytesPerSecond <= 0) {
      transmit_(chunk.bytes);
      out_.pop_front();
      continue;
    }
    // At a line speed the line carries one byte per byte time; whatever the
    // clock allows now goes, the rest waits for the line.
    const auto step = byteTime();
    if (outLineFree_ < chunk.notBefore) outLineFree_ = chunk.notBefore;
    auto allowed = now < outLineFree_ ? 0 : static_cast<size_t>((now - outLineFree_) / step);
    if (allowed == 0) {
      outTimer_ = loop_.scheduleAt(outLineFree_ + step, [this] { pumpOut(); });
      return;
    }
    allowed = std::min(allowed, chunk.bytes.size());
    transmit_(std::string_view(chunk.bytes).substr(0, allowed));
    outLineFree_ += step * static_cast<long>(allowed);
    chunk.bytes.erase(0, allowed);
    if (chunk.bytes.empty()) out_.pop_front();
  }
}

void LineShaper::receive(std::string_view bytes) {
  if (conditions.silent) return;
  if (conditions.bytesPerSecond <= 0 && in_.empty()) {
    deliver_(bytes);
    return;
  }
  const auto now = Clock::now();
  if (in_.empty() && inLineFree_ < now) inLineFree_ = now;
  in_.append(bytes);
  if (!inTimer_) pumpIn();
}

void LineShaper::pumpIn() {
  inTimer_.reset();
  if (in_.empty()) return;
  if (conditions.bytesPerSecond <= 0) {
    std::string all;
    all.swap(in_);
    deliver_(all);
    return;
  }
  const auto now = Clock::now();
  const auto step = byteTime();
  auto allowed = std::min(now < inLineFree_ ? 0 : static_cast<size_t>((now - inLineFree_) / step), in_.size());
  if (allowed > 0) {
    const std::string part = in_.substr(0, allowed);
    in_.erase(0, allowed);
    inLineFree_ += step * static_cast<long>(allowed);
    deliver_(part);
  }
  if (!in_.empty()) inTimer_ = loop_.scheduleAt(inLineFree_ + step, [this] { pumpIn(); });
}

}  // namespace fonexa::sim
