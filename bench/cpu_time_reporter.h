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
                times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
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
