#include "panelmodel.h"

#include "signdecoder.h"

#include <QStringList>

#include <algorithm>

namespace Panel {

namespace {

constexpr double DimmestIntensity = 0.18;
constexpr int HighestBrightness = 99;

} // namespace

Presentation presentationFromIndex(int index)
{
    if (index < 0 || index > static_cast<int>(Presentation::FastCrawl))
        return Presentation::LeftJustify;
    return static_cast<Presentation>(index);
}

QString presentationName(int index)
{
    static const QStringList names = {
        QStringLiteral("Left Justify"),          QStringLiteral("Right Justify"),
        QStringLiteral("Center"),                QStringLiteral("Slow crawl from Right"),
        QStringLiteral("Medium crawl from Right"), QStringLiteral("Fast crawl from Right"),
    };
    return index >= 0 && index < names.size() ? names.at(index) : QStringLiteral("None");
}

bool isCrawl(Presentation presentation)
{
    return crawlStepIntervalMs(presentation) > 0;
}

int justifiedOffset(Presentation presentation, int textColumns, int panelColumns)
{
    switch (presentation) {
    case Presentation::RightJustify:
        return panelColumns - textColumns;
    case Presentation::Center: {
        // Rounded down, also when the message is wider than the panel: an odd
        // column, spare or cut, always goes to the right side.
        const int spare = panelColumns - textColumns;
        return spare >= 0 ? spare / 2 : -((1 - spare) / 2);
    }
    default:
        return 0;
    }
}

int crawlStepIntervalMs(Presentation presentation)
{
    switch (presentation) {
    case Presentation::SlowCrawl:
        return 100;
    case Presentation::MediumCrawl:
        return 50;
    case Presentation::FastCrawl:
        return 25;
    default:
        return 0;
    }
}

int crawlOffset(qint64 step, int textColumns, int panelColumns)
{
    const qint64 cycle = std::max(1, panelColumns + textColumns);
    return panelColumns - static_cast<int>(((step % cycle) + cycle) % cycle);
}

double ledIntensity(int brightness)
{
    const int clamped = std::clamp(brightness, 0, HighestBrightness);
    return DimmestIntensity + (1.0 - DimmestIntensity) * clamped / HighestBrightness;
}

void BoardState::apply(const SignCommand &command)
{
    board = command.board;
    if (command.presentation)
        presentationIndex = *command.presentation;
    if (command.brightness)
        brightness = *command.brightness;
    if (command.message)
        message = *command.message;
}

} // namespace Panel
