// Rows of a render shared among threads. Worker threads and the calling
// thread take rows in increasing order from one counter; the calling thread
// alone reports progress, so a host's callbacks never run on another thread.
// A progress call for row r comes once every row above r is complete (the
// same calls, with the same arguments and in the same order, as a loop that
// calls progress before each row r with r & 7 == 7); a stop answer makes
// every thread drop its work after the row it holds. No thread takes a row
// beyond a window below the next progress report, so a stop leaves the rows
// beyond it untouched even when the calling thread is slow to report. The
// threads share only the counters below, under one lock taken once a row.
#pragma once

#include <climits>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Renders one row of the job.
typedef void (*RowWork)(const void* job, int32_t row);
// The engines' progress callback: a result whose low 16 bits are not zero
// stops the render.
typedef int32_t (*RowProgress)(int32_t row, int32_t total, void* user);

// The threads a whole-image render uses by default: one a core.
inline int32_t DefaultRenderThreads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : (n > 64 ? 64 : static_cast<int32_t>(n));
}

namespace row_workers {

// Guarded by mutex.
struct Shared {
    std::mutex mutex;
    std::condition_variable changed; // a row taken or done, the window moved, a stop
    int32_t next, limit, bottom;     // next row to take; no row at or beyond limit is taken
    bool stop = false;
    std::vector<int32_t> held; // per thread: the row in hand, or INT32_MAX

    Shared(int32_t top, int32_t bottomRow, size_t threads)
        : next(top), limit(bottomRow), bottom(bottomRow), held(threads, INT32_MAX)
    {
    }

    bool CanTake() const { return !stop && next < limit && next < bottom; }

    // The first row that is not complete yet (bottom when all are).
    int32_t Complete() const
    {
        int32_t done = next;
        for (int32_t h : held)
            done = h < done ? h : done;
        return done < bottom ? done : bottom;
    }

    // Renders the next row as thread t; the lock is held before and after.
    void RenderOne(std::unique_lock<std::mutex>& lock, size_t t, RowWork work, const void* job)
    {
        const int32_t row = next++;
        held[t] = row;
        lock.unlock();
        work(job, row);
        lock.lock();
        held[t] = INT32_MAX;
        changed.notify_all();
    }
};

inline void Worker(Shared* s, size_t t, RowWork work, const void* job)
{
    std::unique_lock<std::mutex> lock(s->mutex);
    for (;;) {
        s->changed.wait(lock, [&] { return s->CanTake() || s->stop || s->next >= s->bottom; });
        if (!s->CanTake())
            return;
        s->RenderOne(lock, t, work, job);
    }
}

} // namespace row_workers

// Renders rows top..bottom - 1 of job with work on up to `threads` threads,
// the calling thread included, reporting progress (row, total, user) on the
// calling thread. Returns 0, or the progress answer that stopped the render
// (after every thread has stopped). Fewer threads are used when the system
// cannot start more.
inline int32_t RunRows(int32_t top, int32_t bottom, int32_t total, int32_t threads, RowWork work,
                       const void* job, RowProgress progress, void* user)
{
    using row_workers::Shared;
    if (threads < 1)
        threads = 1;
    if (bottom - top < threads)
        threads = bottom > top ? bottom - top : 1;
    Shared s(top, bottom, static_cast<size_t>(threads));

    int64_t report = top + ((7 - int64_t{top}) & 7); // the first row r >= top with r & 7 == 7
    // Rows a thread may take beyond the next report: enough that no thread
    // waits while the calling thread works on a row of its own.
    const int64_t window = 8 + 8 * int64_t{threads};
    const auto windowEnd = [&] {
        return progress && report + window < bottom ? static_cast<int32_t>(report + window)
                                                    : bottom;
    };
    s.limit = windowEnd();

    std::vector<std::thread> pool;
    for (int32_t t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(row_workers::Worker, &s, static_cast<size_t>(t), work, job);
        } catch (...) {
            // The system has no more threads; the rest share the rows.
        }
    }

    int32_t result = 0;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        for (;;) {
            int32_t complete = s.Complete();
            while (progress && report < bottom && report <= complete) {
                lock.unlock();
                result = progress(static_cast<int32_t>(report), total, user);
                lock.lock();
                if (result & 0xFFFF)
                    break;
                report += 8;
                s.limit = windowEnd();
                s.changed.notify_all();
                complete = s.Complete();
            }
            if ((result & 0xFFFF) || complete >= bottom)
                break;
            if (s.CanTake()) {
                s.RenderOne(lock, 0, work, job);
                continue;
            }
            // Every row in the window is taken: wait for one to complete.
            s.changed.wait(lock, [&] { return s.Complete() != complete; });
        }
        s.stop = true;
        s.changed.notify_all();
    }
    for (std::thread& t : pool)
        t.join();
    return result & 0xFFFF ? result : 0;
}
