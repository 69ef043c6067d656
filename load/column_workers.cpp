#include "column_workers.h"

#include <algorithm>
#include <system_error>

ColumnWorkers::ColumnWorkers(std::int32_t columnCount, int threadCount, Work work,
                             std::int32_t columnsPerClaim)
    : columnCount_(columnCount),
      columnsPerClaim_(std::max(columnsPerClaim, std::int32_t{1})),
      work_(std::move(work)),
      failedColumn_(std::int64_t{columnCount} + 1) {
  if (threadCount <= 0) return;
  done_.assign(static_cast<std::size_t>(columnCount) + 1, false);
  try {
    for (int w = 0; w < threadCount; ++w) threads_.emplace_back([this, w] { RunWorker(w); });
  } catch (const std::system_error&) {
    // Fewer workers than asked for; with none, Wait computes the columns itself.
  }
}

ColumnWorkers::~ColumnWorkers() {
  stop_.store(true);
  for (std::thread& thread : threads_) thread.join();
}

void ColumnWorkers::Wait(std::int32_t column) {
  if (threads_.empty()) {
    work_(column, 0, stop_);
    return;
  }
  std::unique_lock lock(mutex_);
  columnDone_.wait(lock, [&] { return done_[static_cast<std::size_t>(column)]; });
  if (column == failedColumn_.load()) std::rethrow_exception(failure_);
}

void ColumnWorkers::RunWorker(int worker) {
  while (!stop_.load(std::memory_order_relaxed)) {
    const std::int64_t first = nextColumn_.fetch_add(columnsPerClaim_);
    const std::int64_t end = std::min(first + columnsPerClaim_, std::int64_t{columnCount_} + 1);
    for (std::int64_t column = first; column < end; ++column) {
      if (column > failedColumn_.load() || stop_.load(std::memory_order_relaxed)) return;
      RunColumn(column, worker);
    }
    if (end > columnCount_) return;
  }
}

void ColumnWorkers::RunColumn(std::int64_t column, int worker) {
  std::exception_ptr failure;
  try {
    work_(static_cast<std::int32_t>(column), worker, stop_);
  } catch (...) {
    failure = std::current_exception();
  }
  {
    const std::lock_guard lock(mutex_);
    if (failure && column < failedColumn_.load()) {
      failedColumn_.store(column);
      failure_ = failure;
    }
    done_[static_cast<std::size_t>(column)] = true;
  }
  columnDone_.notify_one();
}
