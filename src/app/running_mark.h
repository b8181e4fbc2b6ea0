// A mark that this program is running, for its installer: installing over
// or uninstalling a running copy would fail on files in use, so the
// installer looks for the mark and asks the user to close the program.
#pragma once

// The mark's name, as packaging/windows/morvane.nsi looks for it.
inline constexpr const wchar_t* RunningMarkName = L"MorvaneDataTransferUtility";

// Sets the mark for the rest of the process's life.
void markRunning();
