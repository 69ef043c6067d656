#pragma once
// Computes the columns of a load on worker threads and hands them back in column order, so that
// the reader can report progress and yield on its own thread as if it read them one by one.
//
// Workers claim columns in increasing order. A column whose work throws is rethrown by Wait when
// the reader comes to it, and no column after it is started. Destruction stops the workers (the
// work polls its stop flag between blocks) and joins them, so nothing runs once the reader has
// returned or thrown.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ColumnWorkers {
 public:
  // Computes column 1..columnCount with the scratch space of worker 0..threadCount-1; returns
  // early, leaving the column unfinished, once stop is set.
  using Work = std::function<void(std::int32_t column, int worker, const std::atomic<bool>& stop)>;

  // With threadCount 0 (or when no thread can be started), Wait runs the work itself.
  ColumnWorkers(std::int32_t columnCount, int threadCount, Work work);
  ~ColumnWorkers();
  ColumnWorkers(const ColumnWorkers&) = delete;
  ColumnWorkers& operator=(const ColumnWorkers&) = delete;

  // Returns once column (1-based, asked for in increasing order) is computed; throws what its
  // work threw.
  void Wait(std::int32_t column);

 private:
  void RunWorker(int worker);

  const std::int32_t columnCount_;
  const Work work_;
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> nextColumn_{1};
  std::atomic<std::int64_t> failedColumn_;  // the lowest column whose work threw

  std::mutex mutex_;
  std::condition_variable columnDone_;
  std::vector<bool> done_;      // by column, under mutex_
  std::exception_ptr failure_;  // of failedColumn_, under mutex_
  std::vector<std::thread> threads_;
};
