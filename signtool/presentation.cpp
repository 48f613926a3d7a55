#include "presentation.h"

const QStringList &PresentationNames()
{
    static const QStringList names = {
        QStringLiteral("left"), QStringLiteral("right"),  QStringLiteral("center"),
        QStringLiteral("slow"), QStringLiteral("medium"), QStringLiteral("fast"),
    };
    return names;
}

std::optional<std::int16_t> PresentationFromName(const QString &name)
{
    const QStringList &names = PresentationNames();
    const qsizetype byName = names.indexOf(name.toLower());
    if (byName >= 0)
        return static_cast<std::int16_t>(byName);
    // Exactly one digit: '05' or ' 5' would be a second spelling nobody needs.
    if (name.size() == 1) {
        const int digit = name.at(0).unicode() - u'0';
        if (digit >= 0 && digit < names.size())
            return static_cast<std::int16_t>(digit);
    }
    return std::nullopt;
}
