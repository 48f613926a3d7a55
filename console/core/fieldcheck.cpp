#include "fieldcheck.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "modutils.h"

#include <cstdint>

namespace {

constexpr int LargestAccepted = 99;

// What tells the two fields apart.
struct DecimalFieldRule
{
    // What an empty or all-space field becomes.
    const char *emptyDefault;
    // The first line of the box that rejects the field's text.
    const char *rejectionFirstLine;
};

constexpr DecimalFieldRule BoardNumRule{"0", "INVALID BOARD NUMBER"};
constexpr DecimalFieldRule BrightRule{"99", "INVALID BRIGHTNESS"};

DecimalFieldRule RuleFor(DecimalField field)
{
    switch (field) {
    case DecimalField::BoardNum:
        return BoardNumRule;
    case DecimalField::Bright:
        return BrightRule;
    }
    return BoardNumRule;
}

// Trims spaces only: a tab or any other white space is part of the text and
// gets the field rejected.
QString TrimSpaces(const QString &text)
{
    const auto isSpace = [](QChar c) { return c == QLatin1Char(' '); };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isSpace(text.at(first)))
        ++first;
    while (end > first && isSpace(text.at(end - 1)))
        --end;
    return text.mid(first, end - first);
}

// True when the whole text is one number from 0 to 99. Leading zeros are
// fine; the scanner cannot move past position 32767, so a longer text always
// leaves characters over.
bool IsAcceptedNumber(const QString &text)
{
    std::int16_t position = 1;
    const std::int16_t value = ParseDecimal(text, position);
    return position > text.size() && value <= LargestAccepted;
}

// A busy guard leaves the text as it is and does not cancel.
FieldVerdict RunFieldHandler(DecimalField field, const QString &text, ReentryGuard &eventBusy,
                             MessageBoxes &boxes)
{
    FieldVerdict verdict{text, false};
    eventBusy.Run([&] { verdict = ValidateDecimalField(field, text, boxes); });
    return verdict;
}

} // namespace

QString RejectionMessage(DecimalField field)
{
    return QString::fromLatin1(RuleFor(field).rejectionFirstLine) + LineBreak
        + QStringLiteral("Please enter a decimal number between 0 and 99");
}

FieldVerdict ValidateDecimalField(DecimalField field, const QString &text, MessageBoxes &boxes)
{
    QString trimmed = TrimSpaces(text);
    if (trimmed.isEmpty())
        trimmed = QString::fromLatin1(RuleFor(field).emptyDefault);

    if (!IsAcceptedNumber(trimmed)) {
        boxes.MsgBox(RejectionMessage(field), MessageIcon::None,
                     QString::fromLatin1(AppInfo::Title));
        return {text, true};
    }
    return {trimmed, false};
}

FieldVerdict BoardNum_Validate(const QString &text, ReentryGuard &eventBusy, MessageBoxes &boxes)
{
    return RunFieldHandler(DecimalField::BoardNum, text, eventBusy, boxes);
}

FieldVerdict Bright_Validate(const QString &text, ReentryGuard &eventBusy, MessageBoxes &boxes)
{
    return RunFieldHandler(DecimalField::Bright, text, eventBusy, boxes);
}
