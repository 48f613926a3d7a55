#pragma once

#include <QString>

#include <memory>

class QSettings;

// The per-user settings store: strings under (application, section, key).
// Only the two operations the console needs; nothing is ever listed or removed.
class SettingsStore
{
public:
    // The user's store for this application, in the system's native place
    // (on Linux ~/.config/VantorMsgBoard.conf).
    SettingsStore();
    // A store kept in the given file, for tests and tools.
    explicit SettingsStore(const QString &filePath);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The stored string, or defaultValue when the key is absent.
    [[nodiscard]] QString GetSetting(const QString &section, const QString &key,
                                     const QString &defaultValue) const;
    void SaveSetting(const QString &section, const QString &key, const QString &value);
    // True when the value was edited by hand into a form the store holds as
    // a list (a comma, no quotes). Rewritten by the store, it would not keep
    // the text GetSetting gave: saved again as that text, it does.
    [[nodiscard]] bool HoldsHandWrittenList(const QString &section, const QString &key) const;
    // Writes pending changes to disk; false when the store could not be
    // written, and WriteError() then says why.
    [[nodiscard]] bool Flush();

    // The file that holds the store.
    [[nodiscard]] QString FilePath() const;
    // Why the last Flush() failed, in the system's words; empty after one
    // that succeeded.
    [[nodiscard]] QString WriteError() const;

private:
    // Why a file like the store's cannot be written now; empty when it can.
    [[nodiscard]] QString ProbeWriteError() const;

    std::unique_ptr<QSettings> m_settings;
    // The bytes of the keys and values saved since the store was opened:
    // with the file's present size, about what the next Flush() writes.
    qint64 m_savedBytes = 0;
    QString m_writeError;
};
