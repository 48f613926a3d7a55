#include "messagehistory.h"

#include "historycombo.h"

bool UpdateMessageList(HistoryCombo &curMsg)
{
    const QString message = curMsg.Text();
    if (message.isEmpty())
        return false;

    bool changed = false;
    if (curMsg.ListCount() == 0 || curMsg.List(0) != message) {
        curMsg.AddItem(message, 0);
        changed = true;
    }

    // Downwards, so that a removal shifts only entries already visited.
    // Entry 0 is the message itself and stays.
    const int count = curMsg.ListCount();
    for (int i = count - 1; i >= 1; --i) {
        if (curMsg.List(i) == message) {
            curMsg.RemoveItem(i);
            changed = true;
        }
    }

    curMsg.SetListIndex(0);
    return changed;
}

bool RunHistoryHandler(HistoryCombo &curMsg, ReentryGuard &eventBusy)
{
    bool changed = false;
    eventBusy.Run([&] { changed = UpdateMessageList(curMsg); });
    return changed;
}

MessageListState LoadMessageList(HistoryCombo &curMsg, const QString &filePath)
{
    const QStringList held = curMsg.Entries();
    const LoadedMessageList loaded = LoadMessageList(held, filePath);
    for (qsizetype i = held.size(); i < loaded.history.size(); ++i)
        curMsg.AddItem(loaded.history.at(i));
    return loaded.state;
}

MessageListState SaveMessageList(const HistoryCombo &curMsg, bool msgListDirty, MessageBoxes &boxes,
                                 const QString &filePath)
{
    return SaveMessageList(curMsg.Entries(), msgListDirty, boxes, filePath);
}
