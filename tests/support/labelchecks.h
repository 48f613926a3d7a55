#pragma once

#include <QFontInfo>
#include <QLabel>
#include <QtTest>

// Fails unless every label of `window` shows its whole text: as large as its
// text needs (with word wrap, at its width) and inside the client area.
inline void VerifyNoLabelClipped(const QWidget *window)
{
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    QVERIFY(!labels.isEmpty());
    for (const QLabel *label : labels) {
        const QSize needed = label->wordWrap()
            ? QSize(label->width(), label->heightForWidth(label->width()))
            : label->sizeHint();
        const QRect inWindow(label->mapTo(window, QPoint(0, 0)), label->size());
        QVERIFY2(label->width() >= needed.width() && label->height() >= needed.height()
                     && window->rect().contains(inWindow),
                 qPrintable(label->objectName()));
    }
}

// Fails unless the font resolves to Arial or its metric twin.
inline void VerifyArial(const QFont &font)
{
    const QString family = QFontInfo(font).family();
    QVERIFY2(family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans"),
             qPrintable(family));
}
