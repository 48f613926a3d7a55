#include "formlayout.h"

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

QFont LucidaConsoleFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Lucida Console"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(pointSize);
    return font;
}

QFont DialogFont()
{
    // The desktop's own sans serif (DejaVu Sans on Debian) runs about a tenth
    // wider than the font the windows were designed with, and the labels
    // that sit side by side would then overlap; Arial's metrics keep them
    // apart.
    return ArialFont(8.25);
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
