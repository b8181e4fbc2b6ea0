// The program under measurement as a child process of the benchmark (see
// bench_program.cpp), and what the kernel says of a process: CPU time,
// wake-ups and resident memory.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class BenchProgram {
 public:
  // Starts the program offscreen with `args` (mode, folder...), in the
  // environment of this process; what it says on its error output goes to
  // the file `log`.
  BenchProgram(const std::vector<std::string>& args, const std::string& log);
  ~BenchProgram();
  BenchProgram(const BenchProgram&) = delete;
  BenchProgram& operator=(const BenchProgram&) = delete;

  pid_t pid() const { return pid_; }
  // The steady clock just before the process was created, in ns.
  int64_t spawnedAtNs() const { return spawnedAtNs_; }
  // The program's next line of output, "" when none came within `timeout`.
  std::string readLine(std::chrono::milliseconds timeout);
  // Asks the program to press Stop and end; waits for it.
  bool finish(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string buffered_;
  int64_t spawnedAtNs_ = 0;
};

// The folder of the running benchmark, where the program lies beside it.
std::string benchFolder();

int64_t steadyNowNs();

// CPU time and context switches summed over all threads of a process.
struct ProcessUsage {
  int64_t cpuNs = 0;
  int64_t contextSwitches = 0;  // voluntary and involuntary
};
ProcessUsage processUsage(pid_t pid);

// Resident memory high-water mark in KiB, and setting it back to the
// current resident size.
int64_t peakResidentKiB(pid_t pid);
void resetPeakResident(pid_t pid);
