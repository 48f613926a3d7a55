#pragma once

#include "signdecoder.h"

#include <QWidget>

#include <map>

class BoardView;
class QLabel;
class QPlainTextEdit;
class QVBoxLayout;

// The virtual sign on screen: a panel for every board the console has
// addressed, in board order, over a log of everything that arrived.
class SignWindow : public QWidget
{
    Q_OBJECT

public:
    SignWindow(const QString &portName, const QString &device, QWidget *parent = nullptr);

    void takeBytes(const QByteArray &bytes);

    // The view of a board, or null while no string has addressed it.
    [[nodiscard]] const BoardView *boardView(int board) const;
    [[nodiscard]] QString logText() const;

private:
    BoardView *addressBoard(int board);
    void log(const DecodedItem &item);

    QLabel *const m_waiting;
    QWidget *const m_boards;
    QVBoxLayout *const m_boardsLayout;
    QPlainTextEdit *const m_log;
    SignDecoder m_decoder;
    std::map<int, BoardView *> m_views;
};
