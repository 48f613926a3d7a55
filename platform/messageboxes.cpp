#include "messageboxes.h"

#include <QMessageBox>

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
    QMessageBox box(boxIcon, title, DisplayText(text), QMessageBox::Ok, m_owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}
