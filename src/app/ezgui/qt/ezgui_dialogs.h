// Helpers of the dialogs, kept apart so they can be checked on their own.
#pragma once

#include <QString>
#include <string>

// "Name|*.a|Other|*.b;*.c" -> "Name (*.a);;Other (*.b *.c)". "*.*" becomes
// "*": on this system a file name need not hold a full stop.
QString ezQtFilter(const std::string& filter);
// The extension of a filter's first pattern ("Text (*.txt)" -> "txt"); ""
// for a pattern that takes any name.
QString ezFilterExtension(const QString& qtFilter);
