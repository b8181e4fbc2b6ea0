// The rich-text view's text limit rule, kept apart so it can be checked
// on its own.
#pragma once

#include <QString>
#include <string>

struct EzControl;

// The view's text as bytes, one byte per character (Latin-1).
std::string ezRichViewText(const EzControl& view);

// How many characters to drop from the front of `text` so that it fits in
// `limit`: the oldest whole lines, so that the newest lines stay. Only when
// the last line alone is longer than the limit is a line cut, keeping its
// end. A limit of 0 or less means no limit.
qsizetype ezCharactersToDrop(const QString& text, qsizetype limit);
