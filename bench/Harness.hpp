#pragma once

// Measurement tools shared by the benchmark scenes: a wall-clock stopwatch, sample sets with
// percentiles, a heap-allocation counter and the process's peak resident memory.

#include <cstdint>
#include <vector>

// Monotonic time in nanoseconds (steady clock).
std::int64_t NowNs();

// Milliseconds since the process was started by the kernel (from /proc/self/stat, so with the
// scheduler's tick granularity, usually 10 ms), or -1 when unknown.
double MsSinceProcessStart();

// A set of timings in milliseconds; reserve up front so adding never allocates while measuring.
class Samples {
  public:
    explicit Samples(std::size_t capacity = 0) { values.reserve(capacity); }
    void Add(double ms) { values.push_back(ms); }
    void Clear() { values.clear(); }
    std::size_t Size() const { return values.size(); }
    // p in [0, 100]: the value below which p percent of the samples lie (nearest rank on a copy).
    double Percentile(double p) const;
    double Median() const { return Percentile(50.0); }
    double Mean() const;

  private:
    std::vector<double> values;
};

// Number of calls to the global operator new since the start of the process. Counted by the
// replacement operators in AllocCounter.cpp, linked into the benchmark executable only.
std::uint64_t HeapAllocations();
// Number of C allocator calls (malloc, calloc, realloc, aligned forms) in the whole process,
// libraries included; operator new's own calls are among them.
std::uint64_t MallocCalls();
// While on, every C allocation prints its call stack on stderr (for finding who allocates).
void TraceMallocs(bool on);
// Bytes currently held through the global operator new (new minus delete), same source.
std::int64_t HeapBytesInUse();

// Peak resident set size of the process in kilobytes (VmHWM), or -1 when unknown.
long PeakRssKb();
// Current resident set size in kilobytes (VmRSS), or -1 when unknown.
long RssKb();
