#pragma once

#include <QString>

struct SignCommand;

// What one board of the sign shows, and the rules by which its LED panel
// places, moves and lights the message. No widget in here.
namespace Panel {

constexpr int Columns = 96;  // 16 characters side by side

enum class Presentation {
    LeftJustify,
    RightJustify,
    Center,
    SlowCrawl,
    MediumCrawl,
    FastCrawl,
};

// The presentation of a "C" record's index. An index the sign does not know
// (the console sends -1 when nothing is selected) shows left justified.
[[nodiscard]] Presentation presentationFromIndex(int index);
// The console's name of a presentation index, or "None" for -1.
[[nodiscard]] QString presentationName(int index);
[[nodiscard]] bool isCrawl(Presentation presentation);

// The panel column where the first column of a still message goes. A message
// wider than the panel is cut: at the right end when left justified, at the
// left end when right justified, at both ends when centred.
[[nodiscard]] int justifiedOffset(Presentation presentation, int textColumns, int panelColumns);

// Milliseconds between two one-column steps of a crawl; 0 for a still message.
[[nodiscard]] int crawlStepIntervalMs(Presentation presentation);
// The panel column of the message's first column after `step` steps. The
// message enters just beyond the right edge, crawls left until its last
// column has left the panel, and enters again.
[[nodiscard]] int crawlOffset(qint64 step, int textColumns, int panelColumns);

// How strongly a lit LED glows, from 0 (dark) to 1 (full), for brightness 0 to
// 99. Brightness 0 is the dimmest the sign goes, not off: a board set to 0
// still shows its message, faintly. Values out of range are clamped.
[[nodiscard]] double ledIntensity(int brightness);

// One board's display. A string that lacks a record leaves that part as it
// was, the way a sign keeps what it was last told.
struct BoardState
{
    int board = 0;
    int presentationIndex = 0;
    int brightness = 99;
    QString message;

    void apply(const SignCommand &command);
};

} // namespace Panel
