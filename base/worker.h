#pragma once

#include <exception>
#include <thread>
#include <utility>

namespace zevo::base {

// A job on a thread of its own, joined at the latest when the worker goes; Join throws again
// what the job threw.
class Worker {
 public:
  template <class F>
  explicit Worker(F job)
      : thread_([this, job = std::move(job)]() mutable {
          try {
            job();
          } catch (...) {
            failure_ = std::current_exception();
          }
        }) {}
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  ~Worker() {
    if (thread_.joinable()) thread_.join();
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  std::exception_ptr failure_;
  std::thread thread_;  // last: started once the rest is made
};

}  // namespace zevo::base
