// The whole transfer path, measured on the program itself (a child process,
// offscreen) against a pseudo-terminal instrument: time to the first picture
// of the window, the cost of an open transfer with nothing arriving, the
// delay from a record's last byte to its CSV line at the line rate, and a
// full-speed stream beside a plain copy loop, checked byte for byte against
// the plain conversion. Prints "figure <name> <value> <unit>" lines.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench_line.h"
#include "bench_process.h"

namespace {

using namespace std::chrono_literals;

constexpr int ProgramPort = 3;
constexpr int FloorPort = 9;
constexpr size_t StreamBytes = 16u << 20;
constexpr size_t LatencyRecords = 250;
constexpr int StartupRuns = 5;
constexpr auto IdleTime = 10s;

void figure(const char* name, double value, const char* unit) {
  std::printf("figure %s %.3f %s\n", name, value, unit);
  std::fflush(stdout);
}

void note(const std::string& text) {
  std::printf("note %s\n", text.c_str());
  std::fflush(stdout);
}

double median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Nearest rank.
double percentile(std::vector<double> values, double p) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t rank = static_cast<size_t>(p / 100 * static_cast<double>(values.size()) + 0.999999);
  return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// The program's own folder, with the settings file naming the instrument's
// port so that the window chooses it as it loads.
class ProgramFolder {
 public:
  ProgramFolder() {
    char name[] = "/tmp/morvane-bench-XXXXXX";
    if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
    path_ = name;
    std::ofstream(path_ + "/MorvTran.ini", std::ios::binary) << ProgramPort << "\r\n";
  }
  ~ProgramFolder() { std::filesystem::remove_all(path_); }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// "shown <ns>" from the program; -1 when it never came.
int64_t shownAtNs(BenchProgram& program) {
  const std::string line = program.readLine(30s);
  if (line.rfind("shown ", 0) != 0) return -1;
  return std::stoll(line.substr(6));
}

void measureStartup(const ProgramFolder& folder) {
  std::vector<double> times;
  for (int run = 0; run < StartupRuns; ++run) {
    BenchProgram program({"startup", folder.path()}, folder.file("program.log"));
    const int64_t shown = shownAtNs(program);
    if (shown > 0) times.push_back(static_cast<double>(shown - program.spawnedAtNs()) / 1e6);
    program.finish(10s);
  }
  figure("startup_ms", median(times), "ms");
}

void printUsage(const char* cpuName, const char* wakeupsName, const ProcessUsage& before,
                const ProcessUsage& after, double seconds) {
  figure(cpuName, static_cast<double>(after.cpuNs - before.cpuNs) / 1e9 / seconds * 100, "percent");
  figure(wakeupsName, static_cast<double>(after.contextSwitches - before.contextSwitches) / seconds,
         "per_s");
}

void measureIdle(const BenchProgram& program) {
  std::this_thread::sleep_for(1s);  // past the start's own work
  const ProcessUsage before = processUsage(program.pid());
  const int64_t from = steadyNowNs();
  std::this_thread::sleep_for(IdleTime);
  const ProcessUsage after = processUsage(program.pid());
  const double seconds = static_cast<double>(steadyNowNs() - from) / 1e9;
  printUsage("idle_cpu_percent", "idle_wakeups_per_s", before, after, seconds);
}

// Also what receiving at the line rate costs the program.
void measureLatency(const BenchProgram& program, PtyInstrument& instrument,
                    const std::string& csv) {
  std::string records = simulatorRecords(LatencyRecords * 40);
  const ProcessUsage before = processUsage(program.pid());
  const int64_t from = steadyNowNs();
  const std::vector<double> latencies =
      lineRateLatenciesMs(instrument, records, csv, fileSize(csv));
  const double seconds = static_cast<double>(steadyNowNs() - from) / 1e9;
  const ProcessUsage after = processUsage(program.pid());
  if (latencies.size() < 200) note("latency: only " + std::to_string(latencies.size()) + " lines");
  figure("latency_p50_ms", percentile(latencies, 50), "ms");
  figure("latency_p99_ms", percentile(latencies, 99), "ms");
  printUsage("line_rate_cpu_percent", "line_rate_wakeups_per_s", before, after, seconds);
}

size_t commonPrefix(const std::string& a, const std::string& b) {
  const auto end = std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin());
  return static_cast<size_t>(end.first - a.begin());
}

void measureStream(BenchProgram& program, PtyInstrument& instrument, PtyInstrument& floorLine,
                   const ProgramFolder& folder, const std::string& csv) {
  const std::string stream = simulatorRecords(StreamBytes);
  const std::string expected = referenceCsv(stream);
  const double floorSeconds = plainCopySeconds(floorLine, stream, folder.file("floor.bin"));

  waitForFileSize(csv, SIZE_MAX, 500ms);  // the latency records all written
  const size_t base = fileSize(csv);
  resetPeakResident(program.pid());
  const int64_t start = steadyNowNs();
  std::thread sender([&] { sendAtFullSpeed(instrument, stream); });
  const int64_t done = waitForFileSize(csv, base + expected.size(), 15s);
  sender.join();
  const int64_t peakKiB = peakResidentKiB(program.pid());

  const std::string written = fileContent(csv).substr(base);
  const size_t matching = commonPrefix(written, expected);
  if (matching != written.size() || written.size() != expected.size()) {
    note("stream: the CSV differs from the plain conversion from byte " + std::to_string(matching));
  }
  const double seconds = static_cast<double>(done - start) / 1e9;
  const double megabytes = static_cast<double>(stream.size()) / 1e6;
  figure("stream_MBps", megabytes / seconds, "MB/s");
  figure("stream_floor_MBps", floorSeconds > 0 ? megabytes / floorSeconds : -1, "MB/s");
  figure("stream_ratio_to_floor", floorSeconds > 0 ? floorSeconds / seconds : -1, "ratio");
  figure("stream_lost_bytes", static_cast<double>(expected.size() - matching), "bytes");
  figure("peak_rss_MiB", static_cast<double>(peakKiB) / 1024, "MiB");
}

void measureTransfer(const ProgramFolder& folder, PtyInstrument& instrument,
                     PtyInstrument& floorLine) {
  const std::string csv = folder.file("river.csv");
  BenchProgram program({"transfer", folder.path(), csv}, folder.file("program.log"));
  if (shownAtNs(program) < 0 || program.readLine(30s) != "started") {
    throw std::runtime_error("the program did not start its transfer");
  }
  measureIdle(program);
  measureLatency(program, instrument, csv);
  measureStream(program, instrument, floorLine, folder, csv);
  if (!program.finish(20s)) note("the program did not end after Stop");
}

}  // namespace

int main() {
  try {
    PortFolder ports;
    PtyInstrument instrument(ports, ProgramPort);
    PtyInstrument floorLine(ports, FloorPort);
    ProgramFolder folder;
    measureStartup(folder);
    measureTransfer(folder, instrument, floorLine);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "transfer_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
