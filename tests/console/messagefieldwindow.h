#pragma once

#include "historycombo.h"
#include "singlelinefield.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

// The message field in a window beside a board-number style field, shown so
// that typing and pasting reach them and the focus can move between them.
struct MessageFieldWindow
{
    MessageFieldWindow()
        : edit(new QLineEdit(&host))
        , curMsg(new HistoryCombo(&host))
    {
        MakeSingleLineField(*edit);
        auto *const layout = new QVBoxLayout(&host);
        layout->addWidget(edit);
        layout->addWidget(curMsg);
    }

    [[nodiscard]] bool Show()
    {
        host.show();
        return QTest::qWaitForWindowExposed(&host);
    }

    // The line that takes the text: the plain field or the message field's.
    [[nodiscard]] QLineEdit &Line(const QString &field) const
    {
        return field == "message" ? *curMsg->lineEdit() : *edit;
    }

    QWidget host;
    QLineEdit *const edit;
    HistoryCombo *const curMsg;
};
