// Help: the help window "HELP" showing the embedded help text, and the help
// document file handed to the desktop. GUI thread only.
#pragma once

#include <string>

// Makes the GUI layer render rich-text documents with the help text reader.
// Called once at start-up, before any form exists.
void helpInstallRtfRenderer();

// F1: creates the help window and loads the embedded help text into it.
void showHelpWindow();

// The bytes of the embedded document `resourceName` (any letter case, at most
// 199 characters are looked at), or "" when there is none.
std::string loadEmbeddedText(const std::string& resourceName);

// The help document's path in `programFolder`, with or without a trailing
// separator.
std::string helpDocumentPath(const std::string& programFolder);

// The Help menu: hands the help document beside the program to the desktop,
// which opens it in the viewer set up for it. Nothing is reported.
void openHelpDocument();

// Events of form "HELP", as the event routine passes them on.
void helpWindowEvents(int controlId, int eventCode, int eventValue, int& cancel);

// Design routine of form "HELP": adds the help text view.
void designHelpWindow();
