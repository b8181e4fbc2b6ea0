#include "bench_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "record_generator.h"
#include "support/literal_converter.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

// A tenth of a second's worth: more than the line would carry at once.
constexpr size_t FullSpeedPiece = 64 * 1024;
constexpr auto StalledAfter = std::chrono::seconds(10);

// One past the end of every units word: where each record is complete.
std::vector<size_t> recordEnds(const std::string& records) {
  std::vector<size_t> ends;
  for (const std::string word : {"Feet", "Meters"}) {
    for (size_t at = records.find(word); at != std::string::npos; at = records.find(word, at + 1)) {
      ends.push_back(at + word.size());
    }
  }
  std::sort(ends.begin(), ends.end());
  return ends;
}

// Times (steady ns) at which each line end appears in the file, from
// `offset` on, until `count` have been seen or `stop` is set.
class LineEndWatch {
 public:
  LineEndWatch(const std::string& path, size_t offset, size_t count)
      : path_(path), offset_(offset), count_(count) {
    notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (notify_ < 0 || inotify_add_watch(notify_, path.c_str(), IN_MODIFY) < 0) {
      throw std::runtime_error("cannot watch " + path);
    }
    thread_ = std::thread([this] { run(); });
  }
  ~LineEndWatch() {
    finish();
    close(notify_);
  }
  LineEndWatch(const LineEndWatch&) = delete;
  LineEndWatch& operator=(const LineEndWatch&) = delete;

  // Waits until every line end has been seen or `limit` passed.
  std::vector<int64_t> seen(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (seenCount_.load() < count_ && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    finish();
    return times_;
  }

 private:
  void finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  void run() {
    const int file = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[65536];
    while (!stop_ && times_.size() < count_) {
      pollfd entry{notify_, POLLIN, 0};
      if (poll(&entry, 1, 20) <= 0) continue;
      while (read(notify_, buffer, sizeof buffer) > 0) {
      }
      const int64_t at = nowNs();
      for (ssize_t n; (n = pread(file, buffer, sizeof buffer, static_cast<off_t>(offset_))) > 0;) {
        offset_ += static_cast<size_t>(n);
        const auto ends = std::count(buffer, buffer + n, '\n');
        for (long i = 0; i < ends; ++i) times_.push_back(at);
      }
      seenCount_ = times_.size();
    }
    if (file >= 0) close(file);
  }

  std::string path_;
  size_t offset_;
  size_t count_;
  int notify_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> seenCount_{0};
  std::vector<int64_t> times_;  // the watch thread's until it is joined
  std::thread thread_;
};

}  // namespace

std::string simulatorRecords(size_t bytes) {
  sim::StoredData data;
  data.recordsPerBlock = 25;
  data.units = sim::Units::Mixed;
  data.seed = 7;
  // About 45 bytes a record.
  data.blocks = static_cast<int>(bytes / (25 * 40)) + 1;
  std::string stream = sim::storedRecords(data);
  // Cut after a whole record, so that everything sent becomes CSV lines.
  const size_t end = stream.find("\r\n", bytes);
  if (end != std::string::npos) stream.resize(end + 2);
  return stream;
}

std::string referenceCsv(const std::string& stream) {
  // Whole records cut anywhere give the same lines; chunks keep the plain
  // conversion's pending text short, as it copies it for every chunk.
  std::string pending;
  std::string csv;
  for (size_t at = 0; at < stream.size(); at += 4096) {
    literal::convertChunk(pending, std::string_view(stream).substr(at, 4096));
    for (const std::string& line : literal::writeOutRecords(pending)) csv += line;
  }
  return csv;
}

bool sendAtFullSpeed(PtyInstrument& line, const std::string& stream) {
  for (size_t at = 0; at < stream.size(); at += FullSpeedPiece) {
    const auto piece = std::string_view(stream).substr(at, FullSpeedPiece);
    if (!line.send(piece, std::chrono::duration_cast<std::chrono::milliseconds>(StalledAfter))) {
      return false;
    }
  }
  return true;
}

double plainCopySeconds(PtyInstrument& line, const std::string& stream, const std::string& file) {
  const int in = open(line.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  termios raw{};
  if (in < 0 || out < 0 || tcgetattr(in, &raw) != 0) throw std::runtime_error("plain copy setup");
  cfmakeraw(&raw);
  tcsetattr(in, TCSANOW, &raw);
  std::atomic<int64_t> doneAt{0};
  std::thread reader([&] {
    std::vector<char> buffer(1 << 16);
    size_t copied = 0;
    auto lastProgress = Clock::now();
    while (copied < stream.size() && Clock::now() - lastProgress < StalledAfter) {
      int waiting = 0;
      if (ioctl(in, FIONREAD, &waiting) != 0 || waiting <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      const ssize_t n = read(in, buffer.data(), std::min(buffer.size(), size_t(waiting)));
      if (n <= 0 || write(out, buffer.data(), static_cast<size_t>(n)) != n) break;
      copied += static_cast<size_t>(n);
      lastProgress = Clock::now();
    }
    if (copied == stream.size()) doneAt = nowNs();
  });
  const int64_t start = nowNs();
  sendAtFullSpeed(line, stream);
  reader.join();
  close(in);
  close(out);
  return doneAt.load() > 0 ? static_cast<double>(doneAt.load() - start) / 1e9 : -1;
}

int64_t waitForFileSize(const std::string& path, size_t size, std::chrono::milliseconds quiet) {
  size_t last = 0;
  int64_t lastChange = nowNs();
  for (;;) {
    const size_t now = fileSize(path);
    if (now != last) {
      last = now;
      lastChange = nowNs();
    }
    if (now >= size) return lastChange;
    if (nowNs() - lastChange > quiet.count() * 1000000) return lastChange;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::vector<double> lineRateLatenciesMs(PtyInstrument& line, const std::string& records,
                                        const std::string& csvPath, size_t csvOffset) {
  const std::vector<size_t> ends = recordEnds(records);
  LineEndWatch watch(csvPath, csvOffset, ends.size());
  // Slices of at most 10 ms of line time, cut so that each units word ends
  // one; each goes out when its last byte would have crossed the line.
  constexpr size_t Slice = PtyInstrument::kLineRate / 100;
  std::vector<int64_t> completedAt;
  const auto start = Clock::now();
  size_t at = 0;
  for (const size_t end : ends) {
    while (at < end) {
      const size_t upTo = std::min(end, at + Slice);
      std::this_thread::sleep_until(
          start + std::chrono::microseconds(upTo * 1000000 / PtyInstrument::kLineRate));
      line.send(std::string_view(records).substr(at, upTo - at));
      at = upTo;
    }
    completedAt.push_back(nowNs());
  }
  line.send(std::string_view(records).substr(at));
  const std::vector<int64_t> shown = watch.seen(std::chrono::seconds(5));
  std::vector<double> latencies;
  for (size_t i = 0; i < std::min(shown.size(), completedAt.size()); ++i) {
    latencies.push_back(static_cast<double>(shown[i] - completedAt[i]) / 1e6);
  }
  return latencies;
}

std::string fileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t fileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
}
