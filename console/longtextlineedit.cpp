#include "longtextlineedit.h"

#include <QGlyphRun>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

// The scroll position and the cursor's blink are QLineEdit's private state:
// its mouse handling and input-method rectangles read the scroll position
// this paint leaves, exactly as they read the one QLineEdit's paint leaves.
// That header still spells a section with the keyword the build turns off.
#define slots Q_SLOTS
#include <QtWidgets/private/qlineedit_p.h>
#undef slots
#include <QtWidgets/private/qwidgetlinecontrol_p.h>

#include <algorithm>

namespace {

// QLineEdit's fixed gaps around the line inside its contents rectangle.
constexpr int VerticalMargin = 1;
constexpr int HorizontalMargin = 2;

// True when the text may hold a right-to-left run, whose glyphs are placed in
// the reverse order of their characters. A surrogate pair counts as one
// unchecked.
bool MayHoldRightToLeft(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            return c.isSurrogate();
        }
    });
}

// Draws the glyphs of characters [from, to) of the line with `pen`.
void DrawStretch(QPainter &painter, const QTextLine &line, QPointF origin, int from, int to,
                 const QColor &pen)
{
    if (from >= to)
        return;
    painter.setPen(pen);
    const QList<QGlyphRun> runs = line.glyphRuns(from, to - from);
    for (const QGlyphRun &run : runs)
        painter.drawGlyphRun(origin, run);
}

} // namespace

LongTextLineEdit::LongTextLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_paintedWhole = text.size() <= LongTextLength || MayHoldRightToLeft(text);
    });
}

void LongTextLineEdit::paintEvent(QPaintEvent *event)
{
    auto *const d = static_cast<QLineEditPrivate *>(d_ptr.data());
    QWidgetLineControl *const control = d->control;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int lineWidth = contents.width() - 2 * HorizontalMargin;
    const int widthUsed = qRound(control->naturalTextWidth()) + 1;
    // Text being composed carries its own formats, and a mask its block
    // cursor, which only the whole layout's drawing shows; text that fits
    // is aligned, not scrolled.
    if (m_paintedWhole || control->composeMode() || !inputMask().isEmpty() || widthUsed <= lineWidth) {
        QLineEdit::paintEvent(event);
        return;
    }

    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setClipRect(contents);

    // Scrolled as QLineEdit scrolls: the cursor kept in view, the end of the
    // text not left short of the right edge.
    const int cursorX = qRound(control->cursorToX());
    if (cursorX - d->hscroll >= lineWidth)
        d->hscroll = cursorX - lineWidth + 1;
    else if (cursorX - d->hscroll < 0 && d->hscroll < widthUsed)
        d->hscroll = cursorX;
    else if (widthUsed - d->hscroll < lineWidth)
        d->hscroll = widthUsed - lineWidth + 1;
    d->hscroll = std::max(0, d->hscroll);

    // The characters in view, and two code units more at each side for
    // glyphs that reach over their cell.
    const QTextLayout &layout = *control->textLayout();
    const QTextLine line = layout.lineAt(0);
    const int left = d->hscroll - HorizontalMargin;
    const int from = std::max(0, line.xToCursor(left, QTextLine::CursorOnCharacter) - 2);
    const int to = std::min(line.textLength(),
                            line.xToCursor(left + contents.width(), QTextLine::CursorOnCharacter) + 2);

    // Placed as QLineEdit places the line: its height that of the font or
    // of the glyphs in view, whichever is taller.
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight =
        std::max(metrics.height(), metrics.boundingRect(layout.text().mid(from, to - from)).height());
    const Qt::Alignment vertical =
        QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignVertical_Mask;
    if (vertical == Qt::AlignTop)
        d->vscroll = contents.y() + VerticalMargin;
    else if (vertical == Qt::AlignBottom)
        d->vscroll = contents.bottom() + 1 - lineHeight - VerticalMargin;
    else
        d->vscroll = contents.y() + (contents.height() - lineHeight + 1) / 2;
    const QPoint origin(contents.x() + HorizontalMargin - d->hscroll,
                        d->vscroll - (control->ascent() - metrics.ascent()));

    // The selection over a highlight, the rest in the text colour.
    const QPalette &colours = palette();
    const bool selected = control->hasSelectedText();
    const int selectionStart = selected ? std::clamp(control->selectionStart(), from, to) : to;
    const int selectionEnd = selected ? std::clamp(control->selectionEnd(), from, to) : to;
    if (selectionStart < selectionEnd) {
        const qreal x = line.cursorToX(selectionStart);
        const QRectF highlight(x, line.y(), line.cursorToX(selectionEnd) - x, line.height());
        painter.fillRect(highlight.translated(origin), colours.highlight());
    }
    const QColor text = colours.text().color();
    DrawStretch(painter, line, origin, from, selectionStart, text);
    DrawStretch(painter, line, origin, selectionStart, selectionEnd, colours.highlightedText().color());
    DrawStretch(painter, line, origin, selectionEnd, to, text);

    if (d->cursorVisible && !isReadOnly()) {
        control->setCursorWidth(style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
        control->draw(&painter, origin, contents, QWidgetLineControl::DrawCursor);
    }
}
