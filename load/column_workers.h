#pragma once
// Computes the columns of a load on worker threads and hands them back in column order, so that
// the reader can report progress and yield on its own thread as if it read them one by one.
//
// Workers claim runs of consecutive columns in increasing order (a run per claim, so that each
// worker fills memory of its own). A column whose work throws is rethrown by Wait when the reader
// comes to it, and no column after it is started. Destruction stops the workers (the
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
  ColumnWorkers(std::int32_t columnCount, int threadCount, Work work,
                std::int32_t columnsPerClaim = 1);
  ~ColumnWorkers();
  ColumnWorkers(const ColumnWorkers&) = delete;
  ColumnWorkers& operator=(const ColumnWorkers&) = delete;

  // Returns once column (1-based, asked for in increasing order) is computed; throws what its
  // work threw.
  void Wait(std::int32_t column);

 private:
  void RunWorker(int worker);
  void RunColumn(std::int64_t column, int worker);

  const std::int32_t columnCount_;
  const std::int32_t columnsPerClaim_;
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
