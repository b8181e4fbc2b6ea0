// The simulated instrument's end of the line: a pseudo-terminal whose other
// end is published as COMn in a port folder.
//
// The simulator keeps its own descriptor of the line's device end open
// ("holder") for its whole life. Without it the master reports a hang-up
// (and fails reads with EIO) every time the program closes the port, and
// the line's settings would be dropped between openings. Holding it costs
// the program nothing: it takes no lock unless --hold asks for one.
//
// The holder has one more duty. The program claims the port exclusively
// while it has it open, and that claim outlives its close because the
// device stays alive through our master; the next non-privileged open
// would then be refused. So the port watches openings and closings of the
// device and lifts a claim that nobody holds any more.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

struct SimPort {
  int master = -1;
  int holder = -1;
  int watch = -1;   // inotify descriptor: openings and closings of the device
  int openers = 0;  // descriptors others have open on the device
  bool held = false;
  std::string devicePath;
  std::string linkPath;
};

// Creates the pseudo-terminal in raw mode, opens the holder and the watch.
bool openPort(SimPort& port, std::string& error);
// Makes <dir>/COM<com> a symbolic link to the device (the folder is created
// when missing; a stale link is replaced, anything else is left and refused).
bool publishPort(SimPort& port, const std::string& dir, int com, std::string& error);
// Locks the device and claims it exclusively, as a program holding it would.
bool holdPort(SimPort& port, std::string& error);
// Takes the watch's pending reports; lifts a stale exclusive claim.
void serviceWatch(SimPort& port);
// Bytes sent that the program has not read yet.
size_t unreadByProgram(const SimPort& port);
// Drops the line: the program's descriptor sees a hang-up.
void hangUp(SimPort& port);
// Removes the published link if it still names this port, closes all.
void closePort(SimPort& port);

}  // namespace sim
