// Column workers: columns come back complete and in order, a failure surfaces at its own column
// and nowhere earlier, and destruction stops and joins the workers however far they got.

#include "column_workers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kColumns = 300;

TEST(ColumnWorkers, EveryColumnIsCompleteWhenWaitReturnsIt) {
  // Runs of 7 leave a partial run at the end.
  for (const auto& [threads, perClaim] : {std::pair{0, 1}, {1, 1}, {2, 1}, {4, 1}, {2, 7}}) {
    std::vector<int> values(kColumns + 1, 0);
    std::vector<std::atomic<int>> runs(kColumns + 1);
    ColumnWorkers workers(
        kColumns, threads,
        [&](std::int32_t column, int worker, const std::atomic<bool>&) {
          EXPECT_LT(worker, std::max(threads, 1));
          // Uneven work, so that columns finish out of order.
          if (column % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
          values[static_cast<std::size_t>(column)] = column * 3;
          ++runs[static_cast<std::size_t>(column)];
        },
        perClaim);
    for (std::int32_t m = 1; m <= kColumns; ++m) {
      workers.Wait(m);
      ASSERT_EQ(values[static_cast<std::size_t>(m)], m * 3)
          << threads << " threads, runs of " << perClaim;
    }
    for (std::int32_t m = 1; m <= kColumns; ++m) {
      EXPECT_EQ(runs[static_cast<std::size_t>(m)].load(), 1) << "column " << m;
    }
  }
}

TEST(ColumnWorkers, WithoutThreadsTheWorkRunsInWaitOnTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<std::int32_t> order;
  ColumnWorkers workers(3, 0, [&](std::int32_t column, int, const std::atomic<bool>&) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    order.push_back(column);
  });
  EXPECT_TRUE(order.empty());
  workers.Wait(1);
  workers.Wait(2);
  EXPECT_EQ(order, (std::vector<std::int32_t>{1, 2}));
}

TEST(ColumnWorkers, TheEarliestFailureSurfacesAtItsOwnColumnAndLaterColumnsAreNotStarted) {
  std::atomic<std::int32_t> highestStarted{0};
  constexpr std::int32_t kPerClaim = 3;
  ColumnWorkers workers(
      kColumns, 2,
      [&](std::int32_t column, int, const std::atomic<bool>&) {
        std::int32_t seen = highestStarted.load();
        while (column > seen && !highestStarted.compare_exchange_weak(seen, column)) {
        }
        if (column == 40) {  // fails after column 60 has
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
          throw std::runtime_error("column 40");
        }
        if (column == 60) throw std::runtime_error("column 60");
      },
      kPerClaim);
  for (std::int32_t m = 1; m < 40; ++m) workers.Wait(m);
  try {
    workers.Wait(40);
    ADD_FAILURE() << "column 40 did not fail";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "column 40");
  }
  // Only columns claimed before column 60 failed can have started: a run a worker.
  EXPECT_LE(highestStarted.load(), 60 + 2 * kPerClaim);
}

TEST(ColumnWorkers, DestructionStopsWorkInProgressAndJoins) {
  std::atomic<int> entered{0};
  std::atomic<int> stopped{0};
  {
    ColumnWorkers workers(kColumns, 2, [&](std::int32_t, int, const std::atomic<bool>& stop) {
      ++entered;
      while (!stop.load()) std::this_thread::yield();  // a column that never ends by itself
      ++stopped;
    });
    while (entered.load() < 2) std::this_thread::yield();
  }
  // Both workers left their endless columns, and none started another once stopped.
  EXPECT_EQ(stopped.load(), 2);
  EXPECT_EQ(entered.load(), 2);
}

}  // namespace
