#include "util/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(ThreadPool, ConsumesInOrderWithFewResultsHeld) {
    for (size_t threads : {1, 2, 8}) {
        for (size_t count : {0, 1, 100}) {
            std::atomic<size_t> consumedSoFar = 0;
            std::vector<size_t> order;
            parallelOrdered<size_t>(
                count,
                [&](size_t i) {
                    EXPECT_LE(i, consumedSoFar.load() + 2 * threads) << "too many results held";
                    // Later indices finish first now and then.
                    std::this_thread::sleep_for(std::chrono::microseconds((count - i) % 7 * 100));
                    return i * i;
                },
                [&](size_t i, size_t&& square) {
                    EXPECT_EQ(square, i * i);
                    order.push_back(i);
                    ++consumedSoFar;
                },
                threads);
            std::vector<size_t> expected(count);
            for (size_t i = 0; i < count; ++i) expected[i] = i;
            EXPECT_EQ(order, expected) << threads << " threads, " << count << " items";
        }
    }
}

// A run on many threads fails as a run on one would: the results before the
// lowest failing index are consumed, then its exception arrives.
TEST(ThreadPool, FailuresStopTheRunAndReachTheCaller) {
    for (size_t threads : {1, 2, 8}) {
        std::vector<size_t> consumed;
        std::string message;
        try {
            parallelOrdered<size_t>(
                50,
                [](size_t i) {
                    if (i == 7 || i == 9) throw std::runtime_error("failed at " + std::to_string(i));
                    return i;
                },
                [&](size_t i, size_t&&) { consumed.push_back(i); }, threads);
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message, "failed at 7") << threads;
        EXPECT_EQ(consumed, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6})) << threads;

        EXPECT_THROW(parallelOrdered<size_t>(
                         50, [](size_t i) { return i; },
                         [](size_t i, size_t&&) {
                             if (i == 3) throw std::logic_error("consumer");
                         },
                         threads),
                     std::logic_error);
    }
    EXPECT_GE(processorCount(), 1u);
}

}  // namespace
