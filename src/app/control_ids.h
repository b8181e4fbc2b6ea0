// Identifiers of the main window's controls, menu item and accelerator
// commands. Every subsystem addresses the main window by these numbers.
#pragma once

inline constexpr const char* MainFormName = "MORVANE";
inline constexpr const char* MainForm = "Morvane";  // how calls address it
inline constexpr const char* HelpFormName = "HELP";
inline constexpr const char* DebugFormName = "Debug1";

enum MainControl : int {
  IdFormItself = 0,
  IdLibraryThread = 1,
  IdPathLabel = 100,
  IdChooseFileButton = 110,
  IdAppendRadio = 120,
  IdOverwriteRadio = 130,
  IdPortList = 140,
  IdStartButton = 150,
  IdStopButton = 160,
  IdFileNameBox = 170,
  IdRefreshButton = 180,
  IdPortLabel = 190,
  IdIncomingView = 200,
  IdIncomingLabel = 210,
  IdLogo = 220,
  IdAppendLabel = 230,
  IdOverwriteLabel = 240,
  IdStatusBar = 260,
  IdHelpMenu = 8000,
  IdSummaryMenu = 8010,
  CmdHelp = 1111,
  CmdChooseFile = 1112,
  CmdFocusPorts = 1113,
  CmdStart = 1114,
  CmdStop = 1115,
  CmdExit = 1116,
  CmdRescan = 1117,
  CmdSummary = 1118,
};

// Status bar parts, numbered from the left.
enum StatusPart : int { StatusOverall = 1, StatusFile = 2, StatusPort = 3 };
