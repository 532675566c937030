#include "util/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>

namespace {

// Runs `count` items on each number of threads and checks that a run on many
// threads behaves as one on a single thread: results consumed in order, few
// held at a time, and a failure of produce or consume arriving at the caller
// after exactly the results before it.
TEST(ThreadPool, RunsAsOnOneThread) {
    const struct {
        size_t count, produceFailsAt, consumeFailsAt, consumed;
    } cases[] = {{0, 99, 99, 0}, {1, 99, 99, 1}, {100, 999, 999, 100}, {50, 7, 30, 7}, {50, 40, 3, 3}};
    for (const auto& c : cases) {
        for (size_t threads : {1, 2, 8}) {
            std::atomic<size_t> consumed = 0;
            std::string failure;
            try {
                parallelOrdered<size_t>(
                    c.count,
                    [&](size_t i) {
                        EXPECT_LE(i, consumed.load() + 2 * threads) << "too many results held";
                        // Later indices finish first now and then.
                        std::this_thread::sleep_for(std::chrono::microseconds((c.count - i) % 7 * 100));
                        if (i == c.produceFailsAt || i == c.produceFailsAt + 2) throw std::runtime_error("produce");
                        return i * i;
                    },
                    [&](size_t i, size_t&& square) {
                        if (i == c.consumeFailsAt) throw std::logic_error("consume");
                        EXPECT_EQ(i, consumed.load());
                        EXPECT_EQ(square, i * i);
                        ++consumed;
                    },
                    threads);
            } catch (const std::exception& e) {
                failure = e.what();
            }
            const char* expected = c.consumed == c.count                 ? ""
                                   : c.produceFailsAt < c.consumeFailsAt ? "produce"
                                                                         : "consume";
            EXPECT_EQ(failure, expected) << c.count << " items, " << threads << " threads";
            EXPECT_EQ(consumed.load(), c.consumed) << c.count << " items, " << threads << " threads";
        }
    }
}

}  // namespace
