// Tests that mount small disks need root and a mount namespace of their
// own, so that nothing outside the test ever sees the mount: such a test
// runs itself again under `unshare -m` and mounts there.
//
//   TEST(Suite, Name) {
//     if (!insidePrivateMounts()) return rerunInPrivateMounts();
//     mountSmallDisk(folder, "size=16k");
//     ...
//   }
#pragma once

#include <string>

bool insidePrivateMounts();
// Runs the current test again in a private mount namespace and fails when
// that run does; its output is passed on. Skips without root or unshare(1).
void rerunInPrivateMounts();
// A fresh tmpfs at `folder` (made when missing), seen only by this process.
// `options` are tmpfs's own, e.g. "size=16k" or "ro".
void mountSmallDisk(const std::string& folder, const std::string& options);
