#pragma once
// Work spread over the processors the program may use, with the results
// taken in the order of the work, not in the order it finishes.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The number of processors this process may run on (its CPU affinity), at
// least 1.
size_t processorCount();

// Runs produce(i) for every i in [0, count) on `threads` worker threads and
// hands each result to consume(i, result) on the calling thread, strictly in
// index order, as soon as the results before it have been consumed. At most
// `window` results (by default twice as many as there are workers) are held
// at a time, so memory stays bounded however long the run; a larger window
// lets the other workers go on past one item that takes long. With one thread or one item everything
// runs on the calling thread.
//
// produce is called concurrently with itself and must report its failures
// inside T. An exception that escapes it anyway stops the run: the results
// before the failed index are still consumed, the work already started is
// finished, and the exception is rethrown on the calling thread, exactly as
// a run on one thread would have done. An exception from consume stops the
// run the same way.
template <typename T>
void parallelOrdered(size_t count, const std::function<T(size_t)>& produce,
                     const std::function<void(size_t, T&&)>& consume, size_t threads = processorCount(),
                     size_t window = 0) {
    if (threads <= 1 || count <= 1) {
        for (size_t i = 0; i < count; ++i) consume(i, produce(i));
        return;
    }
    const size_t workers = std::min(threads, count);
    if (window < workers) window = 2 * workers;
    std::vector<std::optional<T>> ready(window);
    std::mutex mutex;
    std::condition_variable produced;
    std::condition_variable freed;
    size_t claimed = 0;
    size_t consumed = 0;
    bool stopping = false;
    // The failure of the lowest index that failed.
    std::exception_ptr failure;
    size_t failedIndex = count;

    const auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            freed.wait(lock, [&] { return stopping || claimed == count || claimed < consumed + window; });
            if (stopping || claimed == count) return;
            const size_t index = claimed++;
            lock.unlock();
            std::optional<T> result;
            std::exception_ptr error;
            try {
                result.emplace(produce(index));
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            if (error) {
                stopping = true;
                if (index < failedIndex) {
                    failure = error;
                    failedIndex = index;
                }
                freed.notify_all();
            } else {
                ready[index % window] = std::move(result);
            }
            produced.notify_one();
        }
    };

    std::vector<std::thread> pool;
    const auto stopAndJoin = [&] {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        freed.notify_all();
        for (auto& thread : pool) thread.join();
        pool.clear();
    };
    struct JoinOnExit {
        const decltype(stopAndJoin)& join;
        ~JoinOnExit() { join(); }
    } joinOnExit{stopAndJoin};

    pool.reserve(workers);
    for (size_t w = 0; w < workers; ++w) pool.emplace_back(work);
    for (size_t i = 0; i < count; ++i) {
        std::optional<T> result;
        {
            std::unique_lock lock(mutex);
            // Indices below a failed one were all claimed before it, so
            // they are still produced.
            produced.wait(lock, [&] { return ready[i % window].has_value() || failedIndex == i; });
            if (failedIndex == i) break;
            result = std::move(ready[i % window]);
            ready[i % window].reset();
            ++consumed;
        }
        freed.notify_all();
        consume(i, std::move(*result));
    }
    stopAndJoin();
    if (failure) std::rethrow_exception(failure);
}
