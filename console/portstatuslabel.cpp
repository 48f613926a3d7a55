#include "portstatuslabel.h"

#include "formlayout.h"
#include "messageboxes.h"
#include "porttrouble.h"
#include "twips.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QTime>

namespace {

// Where the label stands as designed, and the right edge a longer warning
// keeps to, so that it grows to the left over the free space above the buttons.
constexpr int DesignedLeft = 9060;
constexpr int DesignedTop = 105;
constexpr int RightEdge = 10020;

QString ChooseTip()
{
    return QStringLiteral("The port SEND writes to. Click here, or press %1, to choose another.")
        .arg(PortStatusLabel::ChooseShortcut().toString(QKeySequence::NativeText));
}

} // namespace

QKeySequence PortStatusLabel::ChooseShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_O);
}

PortStatusLabel::PortStatusLabel(QLabel *label)
    : QObject(label)
    , m_label(label)
{
    m_label->setCursor(Qt::PointingHandCursor);
    m_label->setToolTip(ChooseTip());
    m_label->setAccessibleDescription(ChooseTip());
    m_label->installEventFilter(this);
    auto *shortcut = new QShortcut(ChooseShortcut(), m_label->parentWidget());
    connect(shortcut, &QShortcut::activated, this, &PortStatusLabel::ChooseRequested);
}

void PortStatusLabel::ShowInUse(const QString &suffix)
{
    m_trouble = false;
    QFont font = m_label->font();
    font.setBold(false);
    m_label->setFont(font);
    m_label->setText(PortInUseStatus(suffix));
    m_label->setToolTip(ChooseTip());
    Place();
}

void PortStatusLabel::ShowTrouble(int port, const QString &description)
{
    m_trouble = true;
    QFont font = m_label->font();
    font.setBold(true);
    m_label->setFont(font);
    m_label->setText(PortTroubleStatus(port, ClassifyPortTrouble(description)));
    m_label->setToolTip(DisplayText(description) + QStringLiteral("\n\n") + ChooseTip());
    Place();
}

void PortStatusLabel::NoteHandedOver()
{
    if (m_trouble)
        return;
    m_label->setToolTip(QStringLiteral("Last string from another program: ")
                        + QTime::currentTime().toString() + QStringLiteral("\n\n") + ChooseTip());
}

void PortStatusLabel::Place()
{
    PlaceAutoSizeLabel(m_label, DesignedLeft, DesignedTop);
    const QRect designed = m_label->geometry();
    const int rightEdge = TwipsRect(RightEdge, DesignedTop, 0, 0).left();
    if (designed.right() > rightEdge)
        m_label->move(rightEdge - designed.width(), designed.top());
}

bool PortStatusLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Q_EMIT ChooseRequested();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
