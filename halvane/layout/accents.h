// Accents drawn as glyphs of their own over a letter (TeX's \accent and math accents, old
// fonts without precomposed letters): the accent becomes a combining mark after its letter.
#ifndef HALVANE_ACCENTS_H
#define HALVANE_ACCENTS_H

#include <vector>

#include "halvane/layout/text_collector.h"

namespace halvane {

// The combining mark of a spacing accent character (U+02DC small tilde -> U+0303), or 0 when
// the character is no accent.
char16_t CombiningFormOfAccent(char16_t c);

// Moves every spacing accent glyph that sits over a letter onto that letter as a combining mark
// and removes the accent glyph. Accents next to letters (a tilde in "~/path") stay as they are.
void AttachFloatingAccents(std::vector<PlacedGlyph>& glyphs);

}  // namespace halvane

#endif
