#include "byteformat.h"

#include <QStringDecoder>

QString SignLineText(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

QString HexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString EscapedText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped.append(u"\\\\");
            break;
        case u'"':
            escaped.append(u"\\\"");
            break;
        case u'\r':
            escaped.append(u"\\r");
            break;
        case u'\n':
            escaped.append(u"\\n");
            break;
        case u'\t':
            escaped.append(u"\\t");
            break;
        default:
            if (c.category() == QChar::Other_Control) {
                escaped.append(u"\\x");
                escaped.append(QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0'));
            } else {
                escaped.append(c);
            }
        }
    }
    return escaped;
}
