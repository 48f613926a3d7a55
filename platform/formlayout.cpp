#include "formlayout.h"

#include <QApplication>
#include <QLabel>

QFont ArialFont(qreal pointSize, FontStyle style)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(style != FontStyle::Regular);
    font.setItalic(style == FontStyle::BoldItalic);
    return font;
}

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    return font;
}

void PlaceAutoSizeLabel(QLabel *label, int leftTwips, int topTwips)
{
    label->setWordWrap(false);
    label->setGeometry(QRect(QPoint(TwipsToPixels(leftTwips), TwipsToPixels(topTwips)),
                             label->sizeHint()));
}

void PlaceWordWrapLabel(QLabel *label, int leftTwips, int topTwips, int widthTwips)
{
    label->setWordWrap(true);
    const int width = TwipsToPixels(widthTwips);
    label->setGeometry(TwipsToPixels(leftTwips), TwipsToPixels(topTwips), width,
                       label->heightForWidth(width));
}

QLabel *NewLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    return label;
}
