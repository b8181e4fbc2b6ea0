// The debug trace: diagnostic lines shown in the debug window "Debug1",
// which the first trace creates. GUI thread only.
#pragma once

#include <string>

// Appends `message` as one line: each "|" in it starts a new line and each
// apostrophe shows as a double quote. Once the window holds more than its
// limit of characters, it starts again with this line only. Lets pending
// window messages run once before it returns.
void debugTrace(const std::string& message);

// Closes the debug window; does nothing when it is not open.
void closeDebugTrace();
