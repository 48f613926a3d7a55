#pragma once

// What the main window keeps in the settings store between runs: its position
// and the values of its four fields. Every key and default lives here.

#include <QString>

#include <cstdint>

class SettingsStore;

namespace StoredSettings {

inline constexpr char Section[] = "Settings";

// A window coordinate in twips. When restoring, a missing value puts the
// window off screen so that it opens centred; before a save, a missing value
// compares as -500, so a window standing at exactly -500 writes nothing.
struct PositionKey
{
    const char *name;
    float restoreDefault;
    float compareDefault;
};

// A text kept exactly as it stands in its field. The same default serves for
// restoring and for comparing before a save.
struct TextKey
{
    const char *name;
    const char *defaultText;
};

inline constexpr PositionKey MainLeft{"MainLeft", -401.0f, -500.0f};
inline constexpr PositionKey MainTop{"MainTop", -401.0f, -500.0f};
inline constexpr TextKey CurMsgText{"CurMsgText", ""};
inline constexpr TextKey BoardNumText{"BoardNumText", "0"};
inline constexpr TextKey BrightText{"BrightText", "99"};
// The selected presentation, as a signed 16-bit integer; -1 for none.
inline constexpr TextKey PresentIndex{"PresentIndex", "0"};

} // namespace StoredSettings

// The stored top-left corner of the main window, in twips.
struct StoredPosition
{
    float left = StoredSettings::MainLeft.restoreDefault;
    float top = StoredSettings::MainTop.restoreDefault;
};

// The values of the four fields.
struct FieldValues
{
    QString curMsgText;
    QString boardNumText;
    QString brightText;
    std::int16_t presentIndex = 0;
};

// What the main window has to save as it unloads.
struct WindowSnapshot
{
    // Top-left corner in twips.
    int left = 0;
    int top = 0;
    // A minimized window saves no position: its place on screen is not one
    // to come back to.
    bool minimized = false;
    FieldValues fields;
};

// The stored position. A value that is not a finite single-precision number
// falls back to the restore default, which opens the window centred.
[[nodiscard]] StoredPosition RestorePosition(const SettingsStore &store);

// The stored field values, texts exactly as stored. A text longer than a
// field holds (FieldTextLimit) falls back to its key's default. A
// presentation index that is not a 16-bit integer, or lies outside
// -1..presentCount - 1, falls back to 0, the first entry.
[[nodiscard]] FieldValues RestoreFields(const SettingsStore &store, int presentCount);

// Writes each value of the snapshot that differs from what is stored (or from
// the comparison default while its key is absent), and nothing else: a key
// that was never written stays absent while its value is the default.
void StoreChangedSettings(SettingsStore &store, const WindowSnapshot &window);
