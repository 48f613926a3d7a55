#include "settings.h"

#include "fieldtext.h"
#include "settingsstore.h"

#include <cmath>
#include <optional>

using namespace StoredSettings;

namespace {

QString Name(const char *key)
{
    return QString::fromLatin1(key);
}

QString Read(const SettingsStore &store, const char *key, const QString &defaultText)
{
    return store.GetSetting(Name(Section), Name(key), defaultText);
}

void Write(SettingsStore &store, const char *key, const QString &value)
{
    store.SaveSetting(Name(Section), Name(key), value);
}

// Positions are whole twips in practice, but any finite single-precision
// number is a position. Infinity and NaN are not: they would place nothing.
std::optional<float> ToSingle(const QString &text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> ToInt16(const QString &text)
{
    bool ok = false;
    const short value = text.toShort(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

float RestoreCoordinate(const SettingsStore &store, const PositionKey &key)
{
    const QString stored = Read(store, key.name, QString::number(key.restoreDefault));
    return ToSingle(stored).value_or(key.restoreDefault);
}

// A text longer than its field holds is skipped whole: cut, it would be a
// text the operator never entered.
QString RestoreText(const SettingsStore &store, const TextKey &key)
{
    const QString stored = Read(store, key.name, Name(key.defaultText));
    return FitsField(stored.size()) ? stored : Name(key.defaultText);
}

// A stored value that is no number differs from every position, so it gets
// replaced by a good one.
void StoreCoordinateIfChanged(SettingsStore &store, const PositionKey &key, int twips)
{
    const QString stored = Read(store, key.name, QString::number(key.compareDefault));
    if (ToSingle(stored) != static_cast<float>(twips))
        Write(store, key.name, QString::number(twips));
}

void StoreTextIfChanged(SettingsStore &store, const TextKey &key, const QString &text)
{
    if (Read(store, key.name, Name(key.defaultText)) != text
        || store.HoldsHandWrittenList(Name(Section), Name(key.name)))
        Write(store, key.name, text);
}

} // namespace

StoredPosition RestorePosition(const SettingsStore &store)
{
    return {RestoreCoordinate(store, MainLeft), RestoreCoordinate(store, MainTop)};
}

FieldValues RestoreFields(const SettingsStore &store, int presentCount)
{
    FieldValues fields;
    fields.curMsgText = RestoreText(store, CurMsgText);
    fields.boardNumText = RestoreText(store, BoardNumText);
    fields.brightText = RestoreText(store, BrightText);

    const std::optional<std::int16_t> index =
        ToInt16(Read(store, PresentIndex.name, Name(PresentIndex.defaultText)));
    if (index && *index >= -1 && *index < presentCount)
        fields.presentIndex = *index;
    return fields;
}

void StoreChangedSettings(SettingsStore &store, const WindowSnapshot &window)
{
    if (!window.minimized) {
        StoreCoordinateIfChanged(store, MainLeft, window.left);
        StoreCoordinateIfChanged(store, MainTop, window.top);
    }
    StoreTextIfChanged(store, CurMsgText, window.fields.curMsgText);
    StoreTextIfChanged(store, BoardNumText, window.fields.boardNumText);
    StoreTextIfChanged(store, BrightText, window.fields.brightText);

    const QString storedIndex = Read(store, PresentIndex.name, Name(PresentIndex.defaultText));
    if (ToInt16(storedIndex) != window.fields.presentIndex)
        Write(store, PresentIndex.name, QString::number(window.fields.presentIndex));
}
