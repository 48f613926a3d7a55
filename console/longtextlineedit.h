#pragma once

#include <QLineEdit>

// A line edit that stays quick to paint with a megabyte of text.
//
// QLineEdit lays its text out once per change, but each paint measures the
// whole text again and draws every glyph of the line, clipped: with 1 MiB
// that is a fifth of a second for each blink of the cursor or click on a
// button. This one paints left-to-right text longer than LongTextLength
// from the same layout, glyphs in view only; scrolling, the cursor, the
// selection and every way of editing stay QLineEdit's own.
class LongTextLineEdit final : public QLineEdit
{
    Q_OBJECT

public:
    // Shorter text is painted by QLineEdit itself.
    static constexpr int LongTextLength = 4096;

    explicit LongTextLineEdit(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Holds for text of LongTextLength or less, or with a right-to-left
    // character, whose glyphs in view need not be one stretch of the text.
    bool m_paintedWhole = true;
};
