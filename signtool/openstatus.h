#pragma once

// The exit status for a port that could not be had, by which step failed.

#include "commport.h"
#include "exitstatus.h"

[[nodiscard]] constexpr int ExitStatusForOpen(CommPortFailure failure)
{
    switch (failure) {
    case CommPortFailure::None:
        return ExitStatus::Ok;
    case CommPortFailure::UnrecognisedArgument:
        return ExitStatus::Usage;
    case CommPortFailure::NotAvailable:
        return ExitStatus::Unavailable;
    case CommPortFailure::CannotOpen:
        return ExitStatus::TempFail;
    }
    return ExitStatus::Unavailable;
}
