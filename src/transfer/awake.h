// Keeps the computer awake while a transfer runs: a laptop that suspends
// in the middle of a download loses what the instrument sends meanwhile,
// and its USB serial adapter comes back as a new device on resume.
// GUI thread only.
#pragma once

// Asks the system not to go to sleep until releaseAwake. Where the system
// cannot be asked, the transfer runs as before. A second call while the
// hold is in place changes nothing.
void holdAwake();
// Gives the hold back; nothing happens when none is held.
void releaseAwake();
