#include "windowserrortext.h"

#include <windows.h>

QString WindowsErrorText(unsigned long code)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString result = length > 0 ? QString::fromWCharArray(text, int(length)) : QString();
    ::LocalFree(text);
    result = result.trimmed();
    while (result.endsWith(QLatin1Char('.')))
        result.chop(1);
    return result.isEmpty() ? QStringLiteral("error ") + QString::number(code) : result;
}
