// The console report, plus each run's CPU time by name so a benchmark program can
// print its ratios at the end. CPU time: the build machine is shared, so wall time
// carries other load.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CpuTimeReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            // Repeated runs: the median stands for the benchmark.
            if (run.aggregate_name == "median") {
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        PrintRatios();
    }

  protected:
    virtual void PrintRatios() = 0;
    // The run's CPU time; 0 when it did not run.
    double Time(const std::string& name) const {
        const auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second;
    }

  private:
    std::map<std::string, double> times_;
};

// Runs the benchmarks the command line names, then the ratios. Unless the command line
// says otherwise, each benchmark runs nine times in random order and a ratio compares
// medians: a single pass on a shared machine swings by tens of percent.
inline void RunWithRatios(int argc, char** argv, CpuTimeReporter& reporter) {
    static char repetitions[] = "--benchmark_repetitions=9";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    static char min_time[] = "--benchmark_min_time=0.1";
    std::vector<char*> args{argv[0], repetitions, interleaving, aggregates, min_time};
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
