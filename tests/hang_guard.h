#pragma once
// A watchdog for the tests of inputs that once made a routine run on and on: when the guarded
// work has not finished within its bound, the test program ends with a message, so the
// regression fails instead of hanging the suite. The bound is generous; speed is measured in
// the benchmarks, never here.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class HangGuard {
 public:
  HangGuard(std::string what, int seconds)
      : what_(std::move(what)), watcher_([this, seconds] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!done_cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
            std::fprintf(stderr, "HangGuard: %s did not finish within %d s\n", what_.c_str(), seconds);
            std::fflush(stderr);
            std::_Exit(3);
          }
        }) {}
  ~HangGuard() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    watcher_.join();
  }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;

 private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread watcher_;
};
