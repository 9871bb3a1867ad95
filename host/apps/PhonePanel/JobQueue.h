// Jobs handed from one thread to the thread a queue lives on. The job itself
// travels under a lock of ours; Qt's event queue only carries the word that
// there is work, by slot name. So the hand-over is visible to the thread
// sanitizer, which cannot see into Qt's own (uninstrumented) locking.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class JobQueue : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Queues the job; the queue's thread runs it from its event loop, in order.
  // Jobs still queued when the queue is destroyed are dropped.
  // The word goes out under the lock too: whatever the queue's thread does
  // after its next look into the queue (its destruction included) comes after
  // this call's last touch of the queue.
  void Post(std::function<void()> job) {
    std::lock_guard<std::mutex> guard(lock_);
    jobs_.push_back(std::move(job));
    QMetaObject::invokeMethod(this, "RunPending", Qt::QueuedConnection);
  }

 public slots:
  void RunPending() {
    for (;;) {
      std::function<void()> job;
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }

 private:
  std::mutex lock_;
  std::deque<std::function<void()>> jobs_;
};
