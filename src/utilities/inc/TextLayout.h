#ifndef TEXTLAYOUT_H
#define TEXTLAYOUT_H

#include <cstdint>

#include "EngineTypes.h"
#include "JString.h"
#include "JVector.h"

class JFont;

// The game code's text routines: word wrap, its break finder, and the
// filling of numbered placeholders.

// CJK and full-width characters, each of which is a break unit of its own.
bool isWideChar(WChar unit);

// Where the break unit that starts at `start` ends: after the next space,
// or before the next wide character, or at the end of the text.
int32_t findLineBreak(const JString& text, int32_t start);

// The lines of the text that fit maxWidth in the font. A newline (or a run
// of them) ends a line; units are joined while the trimmed line fits; a unit
// too wide alone is cut at its longest prefix that fits. Always at least
// one line.
JVector<JString> wrapText(const JString& text, int32_t maxWidth, const JFont& font);
JVector<JString> wrapText(const WChar* text, int32_t maxWidth, const JFont& font);

// The source with the first occurrence of pattern replaced by the
// upper-cased replacement.
JString replaceFirst(const JString& source, const JString& pattern, const JString& replacement);

// Fills "%0S", "%1S" ... (the first occurrence of each) with the upper-cased
// arguments; placeholders without an argument stay.
JString formatText(const JString& text, const JVector<JString>& args);

#endif
