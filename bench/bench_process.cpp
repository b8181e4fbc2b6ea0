#include "bench_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

void closeIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Blocks until the child has ended or `timeout` passed; true when it ended.
bool reapWithin(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The number after `key` in a /proc status file, 0 when missing.
int64_t statusValue(const std::string& status, const std::string& key) {
  const size_t at = status.find(key);
  if (at == std::string::npos) return 0;
  return std::strtoll(status.c_str() + at + key.size(), nullptr, 10);
}

}  // namespace

BenchProgram::BenchProgram(const std::vector<std::string>& args, const std::string& log) {
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const std::string program = benchFolder() + "/morvane_bench_program";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  spawnedAtNs_ = steadyNowNs();
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    const int errors = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (errors >= 0) dup2(errors, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toChild_ = in[1];
  fromChild_ = out[0];
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

BenchProgram::~BenchProgram() {
  closeIfOpen(toChild_);
  if (pid_ > 0 && !reapWithin(pid_, std::chrono::seconds(10))) {
    kill(pid_, SIGKILL);
    reapWithin(pid_, std::chrono::seconds(5));
  }
  closeIfOpen(fromChild_);
}

std::string BenchProgram::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t end = buffered_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return "";
    pollfd entry{fromChild_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[256];
    const ssize_t n = read(fromChild_, chunk, sizeof chunk);
    if (n <= 0) return "";
    buffered_.append(chunk, static_cast<size_t>(n));
  }
}

bool BenchProgram::finish(std::chrono::milliseconds timeout) {
  closeIfOpen(toChild_);
  const bool ended = reapWithin(pid_, timeout);
  if (ended) pid_ = -1;
  return ended;
}

std::string benchFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string self(path, static_cast<size_t>(n));
  return self.substr(0, self.rfind('/'));
}

int64_t steadyNowNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

ProcessUsage processUsage(pid_t pid) {
  ProcessUsage usage;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return usage;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const std::string task = tasks + "/" + entry->d_name;
    // schedstat: time on the CPU in ns, time waiting to run, slices run.
    usage.cpuNs += std::strtoll(fileText(task + "/schedstat").c_str(), nullptr, 10);
    const std::string status = fileText(task + "/status");
    usage.contextSwitches += statusValue(status, "\nvoluntary_ctxt_switches:") +
                             statusValue(status, "\nnonvoluntary_ctxt_switches:");
  }
  closedir(dir);
  return usage;
}

int64_t peakResidentKiB(pid_t pid) {
  return statusValue(fileText("/proc/" + std::to_string(pid) + "/status"), "\nVmHWM:");
}

void resetPeakResident(pid_t pid) {
  std::ofstream("/proc/" + std::to_string(pid) + "/clear_refs") << "5";
}
