#include "signwindow.h"

#include "boardview.h"
#include "byteformat.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTime>
#include <QVBoxLayout>

SignWindow::SignWindow(const QString &portName, const QString &device, QWidget *parent)
    : QWidget(parent)
    , m_waiting(new QLabel(this))
    , m_boards(new QWidget(this))
    , m_boardsLayout(new QVBoxLayout(m_boards))
    , m_log(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Virtual Sign - %1").arg(portName));

    auto *const header = new QLabel(tr("Listening as <b>%1</b> on %2").arg(portName, device), this);
    header->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_waiting->setText(tr("No board addressed yet: send a message from the console on %1.").arg(portName));
    m_waiting->setAlignment(Qt::AlignCenter);
    m_boardsLayout->addWidget(m_waiting);
    m_boardsLayout->addStretch();

    auto *const scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_boards);

    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setPlaceholderText(tr("Every string received is logged here, as text (CR shown as \\r) and as hex."));

    auto *const splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(scroll);
    splitter->addWidget(m_log);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({600, 150});

    auto *const layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(splitter);
    // Fits beside the console on a 1366 x 768 screen, title bar and panel
    // included; the panels scale with the window.
    resize(660, 600);
}

void SignWindow::takeBytes(const QByteArray &bytes)
{
    for (const DecodedItem &item : m_decoder.feed(bytes)) {
        if (const auto *command = std::get_if<SignCommand>(&item))
            addressBoard(command->board)->apply(*command);
        log(item);
    }
}

const BoardView *SignWindow::boardView(int board) const
{
    const auto found = m_views.find(board);
    return found == m_views.end() ? nullptr : found->second;
}

QString SignWindow::logText() const
{
    return m_log->toPlainText();
}

BoardView *SignWindow::addressBoard(int board)
{
    if (const auto found = m_views.find(board); found != m_views.end())
        return found->second;
    m_waiting->hide();
    auto *const view = new BoardView(board, m_boards);
    const auto inserted = m_views.emplace(board, view).first;
    // Boards stay in number order; the waiting label and the closing stretch
    // keep the first and last places of the layout.
    const auto position = static_cast<int>(std::distance(m_views.begin(), inserted)) + 1;
    m_boardsLayout->insertWidget(position, view);
    return view;
}

void SignWindow::log(const DecodedItem &item)
{
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    const auto *command = std::get_if<SignCommand>(&item);
    const QByteArray &bytes = command ? command->bytes : std::get<DecodeError>(item).bytes;
    const QString what = command ? tr("board %1").arg(command->board)
                                 : tr("error: %1").arg(std::get<DecodeError>(item).reason);
    m_log->appendPlainText(QStringLiteral("%1  %2  \"%3\"").arg(time, what, EscapedText(SignLineText(bytes))));
    m_log->appendPlainText(QStringLiteral("%1  hex %2").arg(QString(time.size(), u' '), HexBytes(bytes)));
}
