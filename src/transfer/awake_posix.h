// The sleep inhibitor behind holdAwake on Linux, and the seam tests use in
// place of the system's login manager.
#pragma once

// Asks for a sleep inhibitor; returns the descriptor that holds it until
// it is closed, or -1 when none was given.
using SleepInhibitorRequest = int (*)();

// logind's "sleep" inhibitor over the system bus; -1 without a system bus
// or a login manager on it.
int logindSleepInhibitor();

// What holdAwake calls: logindSleepInhibitor unless a test put a fake here.
extern SleepInhibitorRequest RequestSleepInhibitor;
