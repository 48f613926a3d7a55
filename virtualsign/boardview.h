#pragma once

#include "panelmodel.h"

#include <QFrame>

class LedPanel;
class QLabel;

// One addressed board: a caption with its number and settings over its LED panel.
class BoardView : public QFrame
{
    Q_OBJECT

public:
    explicit BoardView(int board, QWidget *parent = nullptr);

    void apply(const SignCommand &command);

    [[nodiscard]] const Panel::BoardState &state() const { return m_state; }
    [[nodiscard]] const LedPanel *panel() const { return m_panel; }

private:
    QLabel *const m_caption;
    LedPanel *const m_panel;
    Panel::BoardState m_state;
};
