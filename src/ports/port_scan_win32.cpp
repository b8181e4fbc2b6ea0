// A port's open can hold its caller for seconds: a Bluetooth serial link
// opens only once Windows has tried to reach the paired device. Each port
// is opened on a thread of its own, all at once, and the scan waits for
// them together no longer than half a second.
#include <process.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "ports/port_list.h"
#include "ports/port_scan.h"

namespace {

constexpr DWORD kOpenWaitMs = 500;
// A probe needs little stack: a name, a handle and a line state.
constexpr unsigned kProbeStackBytes = 64 * 1024;

struct Probe {
  int portNumber = 0;
  std::atomic<int16_t> state{PortAbsent};
};

struct RunningProbe {
  std::shared_ptr<Probe> probe;
  HANDLE thread = nullptr;
};

// Probes whose open outlasted their scan. Each thread owns its share of
// its probe and the handle it opened, and closes that handle itself; the
// port is not opened again until the thread has ended. Window's thread only.
std::vector<RunningProbe> LateProbes;

unsigned __stdcall probeThread(void* argument) {
  const std::unique_ptr<std::shared_ptr<Probe>> own(static_cast<std::shared_ptr<Probe>*>(argument));
  (*own)->state = probePort((*own)->portNumber);
  return 0;
}

bool startProbe(RunningProbe& running, int portNumber) {
  running.probe = std::make_shared<Probe>();
  running.probe->portNumber = portNumber;
  auto* share = new std::shared_ptr<Probe>(running.probe);
  const uintptr_t thread = _beginthreadex(nullptr, kProbeStackBytes, probeThread, share,
                                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == 0) {
    delete share;
    return false;
  }
  running.thread = reinterpret_cast<HANDLE>(thread);
  return true;
}

void forgetEndedLateProbes() {
  std::erase_if(LateProbes, [](const RunningProbe& late) {
    if (WaitForSingleObject(late.thread, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(late.thread);
    return true;
  });
}

bool stillOpening(int portNumber) {
  return std::any_of(LateProbes.begin(), LateProbes.end(), [portNumber](const RunningProbe& late) {
    return late.probe->portNumber == portNumber;
  });
}

// A port that still opens from an earlier scan gets no second open. A probe
// without a thread of its own runs here.
std::vector<RunningProbe> startProbes(const PresentPorts& ports, PortStates& states) {
  std::vector<RunningProbe> running;
  for (int n = 1; n <= MaxPorts; ++n) {
    if (!ports.test(static_cast<size_t>(n)) || stillOpening(n)) continue;
    RunningProbe probe;
    if (startProbe(probe, n)) {
      running.push_back(probe);
    } else {
      states[static_cast<size_t>(n)] = probePort(n);
    }
  }
  return running;
}

DWORD msLeftUntil(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
}

// An open still running is asked to give up; whether the driver lets it,
// the thread is kept until it has ended.
void collect(std::vector<RunningProbe>& running, PortStates& states) {
  const ULONGLONG deadline = GetTickCount64() + kOpenWaitMs;
  for (RunningProbe& probe : running) {
    if (WaitForSingleObject(probe.thread, msLeftUntil(deadline)) == WAIT_OBJECT_0) {
      states[static_cast<size_t>(probe.probe->portNumber)] = probe.probe->state.load();
      CloseHandle(probe.thread);
    } else {
      CancelSynchronousIo(probe.thread);
      LateProbes.push_back(probe);
    }
  }
}

}  // namespace

PortStates probePorts(const PresentPorts& ports) {
  forgetEndedLateProbes();
  PortStates states{};
  std::vector<RunningProbe> running = startProbes(ports, states);
  collect(running, states);
  return states;
}
