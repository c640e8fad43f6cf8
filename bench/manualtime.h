#pragma once
// Shared by the benchmarks that time one operation themselves (UseManualTime): the
// thread's CPU time of a piece of work, and a reporter that keeps each run's mean time
// for the `ratio` lines printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace vorgrd::bench {

// The machine is shared: wall time would count other programs, the thread's CPU time
// counts only ours.
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

// Prints as the console reporter does and keeps, by benchmark name, the mean seconds
// of one iteration of every run that completed without error.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.iterations > 0 && !run.error_occurred)
                seconds[run.run_name.function_name] =
                    run.real_accumulated_time / double(run.iterations);
    }
};

// Prints `ratio label = x` with the two CPU times behind it and returns x; a pair with
// a run missing (or a zero peer) prints nothing and gives 0.
inline double printRatio(const std::map<std::string, double> &seconds, const std::string &label,
                         const std::string &ours, const std::string &theirs)
{
    const auto a = seconds.find(ours), b = seconds.find(theirs);
    if (a == seconds.end() || b == seconds.end() || b->second <= 0) return 0.0;
    std::printf("ratio %s = %.3f   (CPU: ours %.1f ms, %s %.1f ms)\n", label.c_str(),
                a->second / b->second, a->second * 1e3, theirs.c_str(), b->second * 1e3);
    return a->second / b->second;
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
