// The hook through which the help subsystem renders rich-text (RTF)
// documents for the GUI layer. EZ_SETRICHTEXT(form, id, bytes, 1, 0) hands
// the document's bytes to the renderer, which fills the view's document
// (it starts empty; the renderer may use any QTextDocument means, e.g.
// setHtml or a QTextCursor). Until a renderer is set, loading a document
// leaves the view empty. The renderer is called on the GUI thread.
#pragma once

#include <string>

class QTextDocument;

using EzRtfRenderer = void (*)(const std::string& rtf, QTextDocument& into);

// nullptr removes the renderer. Survives ezResetLayer.
void ezSetRtfRenderer(EzRtfRenderer renderer);
