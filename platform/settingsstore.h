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
    // Writes pending changes to disk; false when the store could not be written.
    [[nodiscard]] bool Flush();

private:
    std::unique_ptr<QSettings> m_settings;
};
