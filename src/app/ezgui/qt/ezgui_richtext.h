// The rich-text view over Qt (its limit rule is the layer's, ../ezgui_lines.h).
#pragma once

#include <QString>
#include <string>

struct EzControl;

// The view's text as bytes, one byte per character (Latin-1).
std::string ezRichViewText(const EzControl& view);
