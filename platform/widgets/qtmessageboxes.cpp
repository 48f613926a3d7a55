#include "qtmessageboxes.h"

#include <QApplication>
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
    // Without an owner of its own the box stands over the window the
    // operator is working in, not in the middle of the screen.
    QWidget *const owner = m_owner ? m_owner : QApplication::activeWindow();
    QMessageBox box(boxIcon, title, DisplayText(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
