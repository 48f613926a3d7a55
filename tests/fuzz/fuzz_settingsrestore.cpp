// The settings restore on any settings file: it never crashes, gives values
// in range (a presentation index of -1 to 5, finite positions), and storing
// what it restored then restoring again gives the same values.

#include "fuzzpieces.h"
#include "handwrittenvalue.h"
#include "settings.h"
#include "settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

// The presentation entries of the main window.
constexpr int PresentCount = 6;

// A new file for every input: the settings library caches what it parsed per
// path, and a rewritten file of the same size within the same clock tick
// could be taken for the one already read.
QString NextSettingsPath()
{
    static const QTemporaryDir folder;
    static quint64 count = 0;
    FUZZ_CHECK(folder.isValid());
    return folder.filePath(QStringLiteral("settings-%1.conf").arg(++count));
}

void CheckInRange(const StoredPosition &position, const FieldValues &fields)
{
    FUZZ_CHECK(std::isfinite(position.left) && std::isfinite(position.top));
    FUZZ_CHECK(fields.presentIndex >= -1 && fields.presentIndex < PresentCount);
}

// A position the window could stand at: whole twips within int's range.
int AsWindowCoordinate(float stored)
{
    return static_cast<int>(std::clamp(std::trunc(stored), -1.0e9f, 1.0e9f));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A hand-written value is one line of the file, never more.
    const std::optional<QString> handWritten = HandWrittenValue(
        QByteArrayView(data, qsizetype(size)), "Settings", "CurMsgText");
    FUZZ_CHECK(!handWritten || (!handWritten->contains(u'\n') && !handWritten->contains(u'\r')));

    const QString path = NextSettingsPath();
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }

    WindowSnapshot window;
    {
        const SettingsStore store(path);
        const StoredPosition position = RestorePosition(store);
        window.fields = RestoreFields(store, PresentCount);
        CheckInRange(position, window.fields);
        window.left = AsWindowCoordinate(position.left);
        window.top = AsWindowCoordinate(position.top);
    }
    {
        SettingsStore store(path);
        StoreChangedSettings(store, window);
        // Not checked: after reading a malformed file Qt reports its
        // FormatError here although the rewrite succeeded. What was
        // written is checked below instead.
        static_cast<void>(store.Flush());
    }
    {
        const SettingsStore store(path);
        const StoredPosition position = RestorePosition(store);
        const FieldValues fields = RestoreFields(store, PresentCount);
        CheckInRange(position, fields);
        FUZZ_CHECK(position.left == static_cast<float>(window.left));
        FUZZ_CHECK(position.top == static_cast<float>(window.top));
        FUZZ_CHECK(fields.curMsgText == window.fields.curMsgText);
        FUZZ_CHECK(fields.boardNumText == window.fields.boardNumText);
        FUZZ_CHECK(fields.brightText == window.fields.brightText);
        FUZZ_CHECK(fields.presentIndex == window.fields.presentIndex);
    }
    QFile::remove(path);
    return 0;
}
