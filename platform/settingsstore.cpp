#include "settingsstore.h"

#include "appinfo.h"

#include <QSettings>

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(AppInfo::Title)))
{
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

namespace {
QString KeyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString SettingsStore::GetSetting(const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    return m_settings->value(KeyPath(section, key), defaultValue).toString();
}

void SettingsStore::SaveSetting(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(KeyPath(section, key), value);
}

bool SettingsStore::Flush()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
