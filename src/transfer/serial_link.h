// The program's one serial link to the instrument: open at the instrument's
// fixed line settings, report and take waiting bytes, drain and close.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

// Opens COM `portNumber`, configures the line, sends 0x00 0x0D 0x0A, waits
// 2000 ms and discards what arrived. False when the device cannot be opened
// (or the link is already open); configuration failures do not count.
bool openLink(int16_t portNumber);
// Bytes in the driver's queue plus bytes read ahead; 0 when closed or once
// after a line error; only the bytes read ahead when the query fails (the
// device has gone).
int32_t bytesWaiting();
// True when the last bytesWaiting reported 0 for a line error: the bytes
// behind the error are still queued, and the next call reports them.
bool lineErrorJustReported();
// Waits until bytes are waiting or `limit` has passed.
void waitForBytes(std::chrono::milliseconds limit);
// Exactly `count` bytes when they are waiting. Returns early with what it has
// when the device delivers nothing, fails or goes away, when `stop` (the
// caller's stop flag, if any) is set, or when owed bytes do not come for a
// few seconds.
std::string receiveBytes(int32_t count, const std::atomic<int32_t>* stop = nullptr);
// One write; failures and short writes are ignored.
void sendBytes(const std::string& bytes);
// Pauses 1000 ms, discards what is waiting and closes the port.
void flushAndClose();
bool linkIsOpen();
// True once a poll of the open link found the device gone (unplugged, hung
// up), until reopenLink opened it again or the link was closed. The gone
// device does not come back on the same opening.
bool linkDeviceGone();
// For a device gone during a transfer: gives its opening back, and when
// the device is there again (see portIdentity) opens it anew at the same
// line settings, without the opening bytes, the pause and the discard, so
// that nothing the instrument sends once it is back is lost. True once
// reopened; false while it is not back or cannot be opened yet.
bool reopenLink();
// The COM number the link was opened with (or reopened at).
int16_t linkPortNumber();
