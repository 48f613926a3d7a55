#pragma once

// Placing controls the way the information windows are designed: positions
// and sizes in twips, fonts in points, labels that size themselves to their
// text.

#include "twips.h"

#include <QFont>

class QLabel;
class QWidget;

// A label on `parent` named after its member, as the form designer would
// name it, so that it can be found by name.
[[nodiscard]] QLabel *NewLabel(QWidget *parent, const char *name, const QString &text);

enum class FontStyle { Regular, Bold, BoldItalic };

// Arial, or Liberation Sans where Arial is not installed: the two share their
// metrics, so the designed sizes hold with either.
[[nodiscard]] QFont ArialFont(qreal pointSize, FontStyle style = FontStyle::Regular);

// Lucida Console, or a monospaced font of the same character width where it
// is not installed (Liberation Mono, then DejaVu Sans Mono): 80 characters
// of the designed size fill the designed message field.
[[nodiscard]] QFont LucidaConsoleFont(qreal pointSize);

// The small dialog font of controls that name no font of their own: a sans
// serif of Arial's metrics at 8.25 point.
[[nodiscard]] QFont DialogFont();

// An auto-size label: its top-left corner at the designed place, its size
// that of its text. Call again after the text changes.
void PlaceAutoSizeLabel(QLabel *label, int leftTwips, int topTwips);

// An auto-size label with word wrap: it keeps its designed width and takes
// the height that its text needs at that width.
void PlaceWordWrapLabel(QLabel *label, int leftTwips, int topTwips, int widthTwips);
