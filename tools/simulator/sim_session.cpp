#include "sim_session.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "pacer.h"
#include "sim_port.h"

namespace sim {

namespace {

volatile std::sig_atomic_t StopSignal = 0;

void onSignal(int) {
  StopSignal = 1;
}

void catchSignals() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a signal must end the wait in poll().
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void say(const std::string& text) {
  std::printf("morvane-sim: %s\n", text.c_str());
  std::fflush(stdout);
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

const std::string OpeningBytes("\x00\x0D\x0A", 3);
constexpr size_t SliceBytes = 4096;
constexpr double SliceSeconds = 0.010;

enum class Phase { Waiting, Delaying, Sending };

class Session {
 public:
  Session(const Options& options, std::string stream, SimPort& port, int recordFd)
      : o_(options),
        stream_(std::move(stream)),
        port_(port),
        recordFd_(recordFd),
        pacer_(options.rate) {
    terminal_ = !o_.hold && ::isatty(STDIN_FILENO);
  }

  int run() {
    announce();
    while (!StopSignal && !done_) {
      waitForSomething();
      if (phase_ == Phase::Delaying && now() >= startAt_) beginSending();
      if (phase_ == Phase::Sending) sendSome();
    }
    return exitCode_;
  }

 private:
  void announce() {
    say("COM" + std::to_string(o_.com) + " is " + port_.devicePath + ", published as " +
        port_.linkPath);
    if (o_.hold) {
      say("holding the port locked; the program finds it in use");
      return;
    }
    say(std::to_string(stream_.size()) + " bytes stored, sent at " +
        (o_.rate ? std::to_string(o_.rate) + " bytes/s" : std::string("full speed")));
    say(std::string("waiting for the program to open the port") +
        (terminal_ ? " (Enter sends at once)" : ""));
  }

  bool terminalInForeground() const {
    return terminal_ && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
  }

  void waitForSomething() {
    pollfd fds[3] = {};
    nfds_t count = 0;
    fds[count++] = {port_.master, static_cast<short>(POLLIN | (blocked_ ? POLLOUT : 0)), 0};
    fds[count++] = {port_.watch, POLLIN, 0};
    // Reading the terminal from the background would stop the process.
    const bool terminal = terminalInForeground();
    if (terminal) fds[count++] = {STDIN_FILENO, POLLIN, 0};
    if (::poll(fds, count, timeoutMs()) <= 0) return;
    if (fds[0].revents & POLLOUT) blocked_ = false;
    if (fds[0].revents & POLLIN) readFromProgram();
    if (fds[1].revents & POLLIN) serviceWatch(port_);
    if (terminal && fds[2].revents) readTerminal();
  }

  int timeoutMs() const {
    const double t = now();
    switch (phase_) {
      case Phase::Waiting:
        return 500;
      case Phase::Delaying:
        return static_cast<int>(std::ceil(std::max(0.0, startAt_ - t) * 1000));
      case Phase::Sending:
        if (blocked_) return 100;
        if (o_.rate == 0) return 0;
        return static_cast<int>(std::ceil(std::max(SliceSeconds, pacer_.wait(t, pos_)) * 1000));
    }
    return 500;
  }

  void readFromProgram() {
    char buffer[4096];
    bool opened = false;
    for (;;) {
      const ssize_t n = ::read(port_.master, buffer, sizeof buffer);
      if (n <= 0) break;
      // The opening bytes may come split over two reads.
      std::string text = tail_ + std::string(buffer, static_cast<size_t>(n));
      if (text.find(OpeningBytes) != std::string::npos) opened = true;
      tail_ = text.substr(text.size() - std::min<size_t>(text.size(), OpeningBytes.size() - 1));
    }
    if (!opened || o_.hold) return;
    const bool answer = phase_ == Phase::Waiting ? (!sentOnce_ || o_.repeat) : o_.repeat;
    if (answer) trigger(o_.delayMs / 1000.0, "the program opened the port");
  }

  void readTerminal() {
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
      terminal_ = false;
      return;
    }
    if (std::memchr(buffer, '\n', static_cast<size_t>(n))) trigger(0, "Enter pressed");
  }

  void trigger(double delay, const std::string& why) {
    phase_ = Phase::Delaying;
    startAt_ = now() + delay;
    pos_ = 0;
    char text[64];
    std::snprintf(text, sizeof text, "; sending in %.1f s", delay);
    say(why + (delay > 0 ? text : "; sending"));
  }

  void beginSending() {
    phase_ = Phase::Sending;
    pos_ = 0;
    blocked_ = false;
    pacer_.start(now());
  }

  void sendSome() {
    while (!blocked_ && phase_ == Phase::Sending) {
      if (o_.hangupAfter >= 0 && totalSent_ >= static_cast<uint64_t>(o_.hangupAfter)) {
        hangUpNow();
        return;
      }
      size_t n = std::min({pacer_.due(now(), pos_), stream_.size() - pos_, SliceBytes});
      if (o_.hangupAfter >= 0)
        n = std::min<uint64_t>(n, static_cast<uint64_t>(o_.hangupAfter) - totalSent_);
      if (n == 0 && pos_ < stream_.size()) return;  // not yet due
      if (n > 0 && !writeSlice(n)) return;
      if (pos_ == stream_.size()) finishSending();
    }
  }

  bool writeSlice(size_t n) {
    const ssize_t written = ::write(port_.master, stream_.data() + pos_, n);
    if (written < 0) {
      if (errno == EAGAIN || errno == EINTR) {
        blocked_ = errno == EAGAIN;
        return false;
      }
      fail("sending failed: " + std::string(std::strerror(errno)));
      return false;
    }
    if (recordFd_ >= 0 &&
        !writeAll(recordFd_, stream_.data() + pos_, static_cast<size_t>(written))) {
      fail("writing the record file failed: " + std::string(std::strerror(errno)));
      return false;
    }
    pos_ += static_cast<size_t>(written);
    totalSent_ += static_cast<uint64_t>(written);
    return true;
  }

  void finishSending() {
    say("sent " + std::to_string(stream_.size()) + " bytes");
    sentOnce_ = true;
    phase_ = Phase::Waiting;
    if (!o_.once) return;
    waitUntilRead();
    done_ = true;
  }

  void hangUpNow() {
    waitUntilRead();
    hangUp(port_);
    say("hung up after " + std::to_string(totalSent_) + " bytes");
    done_ = true;
  }

  // What has been sent has reached the line; give the program the chance to
  // take it before the line goes away with it.
  void waitUntilRead() {
    const double deadline = now() + 5.0;
    int quiet = 0;
    while (quiet < 3 && now() < deadline && !StopSignal) {
      ::usleep(20000);
      serviceWatch(port_);
      if (port_.openers == 0) break;
      quiet = unreadByProgram(port_) == 0 ? quiet + 1 : 0;
    }
  }

  void fail(const std::string& why) {
    std::fprintf(stderr, "morvane-sim: %s\n", why.c_str());
    exitCode_ = 1;
    done_ = true;
  }

  const Options& o_;
  const std::string stream_;
  SimPort& port_;
  int recordFd_;
  Pacer pacer_;
  bool terminal_ = false;
  Phase phase_ = Phase::Waiting;
  double startAt_ = 0;
  size_t pos_ = 0;
  uint64_t totalSent_ = 0;
  bool sentOnce_ = false;
  bool blocked_ = false;
  bool done_ = false;
  int exitCode_ = 0;
  std::string tail_;
};

}  // namespace

int runSimulator(const Options& options) {
  catchSignals();
  int recordFd = -1;
  if (!options.recordFile.empty()) {
    recordFd = ::open(options.recordFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (recordFd < 0) {
      std::fprintf(stderr, "morvane-sim: %s: %s\n", options.recordFile.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  SimPort port;
  std::string error;
  bool ok = openPort(port, error) && publishPort(port, options.dir, options.com, error) &&
            (!options.hold || holdPort(port, error));
  int code = 1;
  if (ok) {
    Session session(options, storedRecords(options.data), port, recordFd);
    code = session.run();
  } else {
    std::fprintf(stderr, "morvane-sim: %s\n", error.c_str());
  }
  closePort(port);
  if (recordFd >= 0) ::close(recordFd);
  return code;
}

}  // namespace sim
