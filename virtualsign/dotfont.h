#pragma once

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// The sign's 5 x 7 dot-matrix font.
//
// A dot column is one byte: bit 0 is the top row, bit 6 the bottom row.
namespace DotFont {

constexpr int GlyphColumns = 5;
constexpr int GlyphRows = 7;
constexpr int CharacterSpacing = 1;  // dark columns between two characters

using Glyph = std::array<std::uint8_t, GlyphColumns>;

// The glyph of one character. A letter with an accent falls back to its bare
// letter ('É' -> 'E'); a character the font has no glyph for shows as a
// hollow box.
[[nodiscard]] Glyph glyph(QChar character);

// The dot columns of a whole text: each character's five columns, with one
// dark column between characters and none at either end.
[[nodiscard]] QList<std::uint8_t> textColumns(const QString &text);

} // namespace DotFont
