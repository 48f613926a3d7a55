#include "qtmessageboxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace {

// The most characters a line of a box may have so that the box, wrapping
// it, stays within half the screen's height at a quarter of its width.
qsizetype LongestLineFor(const QWidget *owner)
{
    const QScreen *const screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return 1000;
    const QFontMetrics metrics(QApplication::font("QMessageBox"));
    const QSize space = screen->availableSize();
    const qsizetype rows = space.height() / 2 / std::max(metrics.lineSpacing(), 1);
    const qsizetype perRow = space.width() / 4 / std::max(metrics.averageCharWidth(), 1);
    return std::max<qsizetype>(rows * perRow, 80);
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget *owner)
    : m_owner(owner)
{
}

void QtMessageBoxes::MsgBox(const QString &text, MessageIcon icon, const QString &title)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Stop:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    // Without an owner of its own the box stands over the window the
    // operator is working in, not in the middle of the screen.
    QWidget *const owner = m_owner ? m_owner : QApplication::activeWindow();
    const QString shown = ElidedLines(text, LongestLineFor(owner));
    // What had to be cut for the box is kept whole where it can be copied.
    if (shown != text)
        std::fprintf(stderr, "%s\n", DisplayText(text).toLocal8Bit().constData());
    QMessageBox box(boxIcon, title, DisplayText(shown), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
