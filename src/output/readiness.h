// When a transfer may start, and what the status bar and the Start and Stop
// buttons show about it. Each event that changes the output file or the port
// ends with its own step below; each step writes its texts in its own order.
// GUI thread only.
#pragma once

#include <string>

// Status bar texts. Part 1: overall state; part 2: output file; part 3: port.
// The fill and the file dialog write "Ready To Start"; a picked port writes
// "Ready to start". Both are what users have always seen.
inline constexpr const char* TextNotReady = "Not Ready";
inline constexpr const char* TextReadyToStart = "Ready To Start";
inline constexpr const char* TextReadyToStartPicked = "Ready to start";
inline constexpr const char* TextReadyTyped = "Ready";
inline constexpr const char* TextFileNotChosen = "File not chosen";
inline constexpr const char* TextOutputFilePrefix = "Output file: ";
inline constexpr const char* TextPortNotChosen = "Port not chosen";
inline constexpr const char* TextPortChosenSuffix = " chosen";
inline constexpr const char* TextPortInUseSuffix = " is in use";

// A file chosen through the dialog and a port chosen.
bool readinessRuleMet();

// Main form loaded: Start and Stop disabled, then parts 1, 2 and 3 at their
// start-up texts.
void readinessOnLoaded();

// The port list was filled and `portText` is the chosen entry's text. Start
// is not enabled while a transfer runs: it would start a second one.
void readinessOnFillChosen(const std::string& portText);
// The port list was filled and no port is chosen. Start goes off because a
// transfer needs a port; Stop keeps its state so a running transfer stays
// stoppable.
void readinessOnFillNone();

// A free port was picked and chosen.
void readinessOnPickedFree(const std::string& portText);
// A port in use was picked; nothing is chosen.
void readinessOnPickedInUse(const std::string& portText);

// The file dialog closed; `namePart` is that of the returned path. While a
// transfer runs the buttons stay as the transfer set them.
void readinessOnDialogClosed(bool returnedFile, const std::string& namePart);

// The file-name box was edited; `longEnough` when the text has 5 or more
// characters. Never changes the buttons.
void readinessOnNameTyped(bool longEnough, const std::string& namePart);
