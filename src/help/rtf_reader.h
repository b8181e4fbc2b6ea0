// Reader for the rich text format a word processor saves for a plain help
// text. It shows paragraphs, line breaks, tabs, bold, italic, underline, font
// sizes, indents and bullet text, and leaves out font and colour tables,
// style sheets, document information, pictures and every destination it
// does not show. Fonts, colours and tables are not rendered.
#pragma once

#include <string>

class QTextDocument;

// Replaces the content of `document` with the rendered `rtf`. Input that does
// not start with "{\rtf" is shown as plain Latin-1 text. Characters given as
// \'hh are taken from code page 1252.
void renderRtf(const std::string& rtf, QTextDocument& document);
