#include "boardview.h"

#include "ledpanel.h"
#include "signdecoder.h"

#include <QLabel>
#include <QVBoxLayout>

BoardView::BoardView(int board, QWidget *parent)
    : QFrame(parent)
    , m_caption(new QLabel(this))
    , m_panel(new LedPanel(this))
{
    m_state.board = board;
    setFrameShape(QFrame::StyledPanel);
    auto *const layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(m_panel);
    m_caption->setText(tr("Board %1").arg(board));
}

void BoardView::apply(const SignCommand &command)
{
    m_state.apply(command);
    m_panel->setContent(m_state.message, m_state.presentationIndex, m_state.brightness);
    m_caption->setText(tr("<b>Board %1</b> &nbsp; %2 &nbsp; brightness %3")
                           .arg(QString::number(m_state.board),
                                Panel::presentationName(m_state.presentationIndex),
                                QString::number(m_state.brightness)));
}
