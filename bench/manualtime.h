#pragma once
// The benchmarks' one reporter: the clock, the per-run times kept for the ratio lines,
// the interleaved pair measurement and the `ratio name = x` line.
//
// The rule: every time a benchmark reports or puts into a ratio is the CPU time of the
// benchmark thread over the timed region. A benchmark that times one operation itself
// (UseManualTime) takes it with timed() around that operation alone; the others let the
// library time the loop, whose CPU clock is the same thread clock. Wall time is never
// the base of a ratio: the machine is shared, and wall time counts the neighbours.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace vorgrd::bench {

// The thread's CPU time in seconds.
inline double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <typename F> double timed(F &&work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

// Prints as the console reporter does and keeps, by the name the benchmark was
// registered under, the mean CPU seconds of one iteration of every run that completed
// without error: the manual time where the benchmark set one, else the library's CPU
// time of the loop.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.iterations <= 0 || run.error_occurred) continue;
            const bool manual = run.run_name.time_type == "manual_time";
            seconds[run.run_name.function_name] =
                (manual ? run.real_accumulated_time : run.cpu_accumulated_time) /
                double(run.iterations);
        }
    }
};

// Prints `ratio label = x` with the two CPU times behind it and returns x; a pair with
// a run missing (or a zero peer) prints nothing and gives 0.
inline double printRatio(const std::map<std::string, double> &seconds, const std::string &label,
                         const std::string &ours, const std::string &theirs)
{
    const auto a = seconds.find(ours), b = seconds.find(theirs);
    if (a == seconds.end() || b == seconds.end() || b->second <= 0) return 0.0;
    std::printf("ratio %s = %.3f   (CPU: ours %.4g ms, %s %.4g ms)\n", label.c_str(),
                a->second / b->second, a->second * 1e3, theirs.c_str(), b->second * 1e3);
    return a->second / b->second;
}

// The median over `rounds` of (CPU time of `perRound` calls of a) / (the same of b),
// the two run alternately so that the neighbours' load hits both alike: steadier than
// two means taken minutes apart.
template <typename A, typename B>
double pairedRatio(A &&a, B &&b, int rounds = 21, int perRound = 3)
{
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const double ta = timed([&] {
            for (int i = 0; i < perRound; ++i)
                a();
        });
        const double tb = timed([&] {
            for (int i = 0; i < perRound; ++i)
                b();
        });
        ratios.push_back(ta / tb);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), -1 when missing.
inline long statusKb(const char *field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, length, field) == 0) return std::stol(line.substr(length + 1));
    return -1;
}

// A benchmark that sets its own iteration time, run a fixed number of times.
inline void registerManual(const char *name, void (*fn)(benchmark::State &), int iterations)
{
    benchmark::RegisterBenchmark(name, fn)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
}

} // namespace vorgrd::bench
