#include "support/pty_line_win32.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error("PtyLine: " + what + " (error " + std::to_string(WSAGetLastError()) +
                           ", " + std::to_string(GetLastError()) + ")");
}

bool underWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : "";
}

// Wine's drive Z: is the Linux root.
std::wstring windowsPathOf(const std::string& linuxPath) {
  std::wstring path = L"Z:";
  for (char c : linuxPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

std::string hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char c : bytes) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

std::string unhex(const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

SOCKET listenOnLoopback(int& port) {
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(listener);
    fail("listen");
  }
  port = ntohs(address.sin_port);
  return listener;
}

// Wine starts a Linux program like any other; it gets no process handle,
// so the connection back is the only sign of life.
void startLinuxProgram(const std::string& program, int portNumber, int tcpPort) {
  std::wstring command = L"\"" + windowsPathOf(program) + L"\" " + std::to_wstring(portNumber) +
                         L" " + std::to_wstring(tcpPort);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    fail("cannot start " + program);
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
}

SOCKET acceptWithin(SOCKET listener, int seconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(listener, &readable);
  timeval timeout{seconds, 0};
  if (select(0, &readable, nullptr, nullptr, &timeout) != 1) return INVALID_SOCKET;
  return accept(listener, nullptr, nullptr);
}

std::string readLine(SOCKET s) {
  std::string line;
  char c;
  while (recv(s, &c, 1, 0) == 1) {
    if (c == '\n') return line;
    line += c;
  }
  fail("the Linux program went away");
}

// Windows lists a plugged-in port in its map of serial devices and takes it
// out when the device goes; Wine's map knows only the ports of its start.
const wchar_t kSerialComm[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::wstring deviceMapEntry(int portNumber) {
  return L"\\Device\\MorvaneTestLine" + std::to_wstring(portNumber);
}

void listInDeviceMap(int portNumber) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    fail("cannot open the map of serial devices");
  }
  const std::wstring name = L"COM" + std::to_wstring(portNumber);
  const LONG result = RegSetValueExW(key, deviceMapEntry(portNumber).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(name.c_str()),
                                     static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) fail("cannot list the port in the map of serial devices");
}

void unlistFromDeviceMap(int portNumber) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueW(key, deviceMapEntry(portNumber).c_str());
  RegCloseKey(key);
}

}  // namespace

bool PtyLine::available(std::string& why) {
  if (!underWine()) {
    why = "needs Wine, whose COM ports can be pseudo-terminals";
    return false;
  }
  if (environment("MORVANE_PTY_LINE").empty()) {
    why = "MORVANE_PTY_LINE does not name the Linux instrument program (CTest sets it)";
    return false;
  }
  return true;
}

PtyLine::PtyLine(int portNumber) : portNumber_(portNumber) {
  // Winsock counts its users; the destructor gives this one back.
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) fail("no Winsock");
  SOCKET control = INVALID_SOCKET;
  try {
    int tcpPort = 0;
    const SOCKET listener = listenOnLoopback(tcpPort);
    try {
      startLinuxProgram(environment("MORVANE_PTY_LINE"), portNumber, tcpPort);
    } catch (...) {
      closesocket(listener);
      throw;
    }
    control = acceptWithin(listener, 10);
    closesocket(listener);
    if (control == INVALID_SOCKET) fail("the Linux program did not connect");
    if (readLine(control) != "ready") fail("the Linux program could not make the line");
    listInDeviceMap(portNumber);
  } catch (...) {
    if (control != INVALID_SOCKET) closesocket(control);
    WSACleanup();
    throw;
  }
  control_ = control;
}

PtyLine::~PtyLine() {
  // The program removes COMn and ends when the connection closes; it has
  // to be gone before the next test publishes the same number.
  unlistFromDeviceMap(portNumber_);
  const SOCKET control = static_cast<SOCKET>(control_);
  shutdown(control, SD_SEND);
  char c;
  while (recv(control, &c, 1, 0) > 0) {
  }
  closesocket(control);
  WSACleanup();
}

std::string PtyLine::ask(const std::string& order) {
  const SOCKET control = static_cast<SOCKET>(control_);
  const std::string line = order + "\n";
  if (::send(control, line.data(), static_cast<int>(line.size()), 0) !=
      static_cast<int>(line.size())) {
    fail("cannot reach the Linux program");
  }
  return readLine(control);
}

bool PtyLine::send(std::string_view bytes) {
  return ask("send " + hex(bytes)) == "ok";
}

size_t PtyLine::queuedForProgram() {
  const std::string answer = ask("queued");
  return answer == "fail" ? 0 : std::stoul(answer);
}

bool PtyLine::waitQueuedForProgram(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (queuedForProgram() < count) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::string PtyLine::received() {
  return unhex(ask("received"));
}

bool PtyLine::waitReceived(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (received().size() < count) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void PtyLine::leaveDeviceMap() {
  unlistFromDeviceMap(portNumber_);
}

bool PtyLine::hangUp() {
  unlistFromDeviceMap(portNumber_);
  return ask("hangup") == "ok";
}

void PtyLine::clearReceived() {
  ask("clear");
}

PtyLineSettings PtyLine::line() {
  std::istringstream answer(ask("line"));
  PtyLineSettings s;
  std::string name;
  int value = 0;
  while (answer >> name >> value) {
    if (name == "speed") s.speed = value;
    if (name == "csize") s.dataBits = value;
    if (name == "parenb") s.parity = value;
    if (name == "cstopb") s.twoStopBits = value;
    if (name == "inpck") s.parityCheck = value;
    if (name == "icanon") s.canonical = value;
    if (name == "echo") s.echo = value;
    if (name == "opost") s.outputProcessing = value;
    if (name == "ixon") s.xonXoff = value;
    if (name == "icrnl") s.crToNl = value;
  }
  return s;
}
