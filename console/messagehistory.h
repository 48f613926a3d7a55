#pragma once

// The message history kept in the CurMsg list: the messages the operator has
// used, most recent first. All comparisons are exact: case and spaces count.

#include "messagelistfile.h"
#include "reentryguard.h"

class HistoryCombo;
class MessageBoxes;

// Puts the current text at the top of the history (entry 0) and removes its
// other copies, then selects entry 0. An empty text changes nothing. True
// when it inserted or removed an entry (the history is then MsgListDirty).
// The history is not cut to any length here.
//
// Selecting entry 0 raises curMsg's Click(); callers hold EventBusy around
// the call so that their own Click handler ignores it.
[[nodiscard]] bool UpdateMessageList(HistoryCombo &curMsg);

// The work of CurMsg_Validate and CurMsg_Click: nothing while eventBusy is
// set, otherwise UpdateMessageList() with eventBusy set for its duration.
// True when the history changed.
[[nodiscard]] bool RunHistoryHandler(HistoryCombo &curMsg, ReentryGuard &eventBusy);

// The message list file read into and written from curMsg's list
// (messagelistfile.h says how).
[[nodiscard]] MessageListState LoadMessageList(HistoryCombo &curMsg,
                                               const QString &filePath = MessageListFilePath());
[[nodiscard]] MessageListState SaveMessageList(const HistoryCombo &curMsg, bool msgListDirty,
                                               MessageBoxes &boxes,
                                               const QString &filePath = MessageListFilePath());
