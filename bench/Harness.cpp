#include "bench/Harness.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <numeric>
#include <unistd.h>

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double MsSinceProcessStart() {
    // Field 22 of /proc/self/stat is the start time in clock ticks after boot; CLOCK_BOOTTIME
    // counts from the same moment.
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (f == nullptr) {
        return -1.0;
    }
    char buf[1024];
    std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // The command name (field 2) may contain spaces; fields after it start past the last ')'.
    const char* p = std::strrchr(buf, ')');
    if (p == nullptr) {
        return -1.0;
    }
    unsigned long long start = 0;
    // After ')': field 3 is the state; the start time is field 22, i.e. the 20th after ')'.
    int field = 2;
    for (const char* q = p + 1; *q != '\0' && field < 22; ++q) {
        if (*q == ' ') {
            ++field;
            if (field == 22) {
                start = std::strtoull(q + 1, nullptr, 10);
            }
        }
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - static_cast<double>(start) * 1000.0 / ticks;
}

double Samples::Percentile(double p) const {
    if (values.empty()) {
        return 0.0;
    }
    std::vector<double> sorted(values);
    std::sort(sorted.begin(), sorted.end());
    // Nearest rank: the smallest value with at least p percent of the samples at or below it.
    std::size_t rank =
        static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    rank = std::clamp<std::size_t>(rank, 1, sorted.size());
    return sorted[rank - 1];
}

double Samples::Mean() const {
    if (values.empty()) {
        return 0.0;
    }
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

static long StatusFieldKb(const char* name) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    const std::size_t len = std::strlen(name);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, name, len) == 0 && line[len] == ':') {
            kb = std::strtol(line + len + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

long PeakRssKb() {
    return StatusFieldKb("VmHWM");
}
long RssKb() {
    return StatusFieldKb("VmRSS");
}
