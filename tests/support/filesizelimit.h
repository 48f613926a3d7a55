#pragma once

// A file size limit on this process for as long as the object lives, the
// project's stand-in for a full disk: past the limit a write fails with
// EFBIG, and SIGXFSZ is ignored meanwhile so that it does not end the test.

#include <csignal>

#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_applied = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    [[nodiscard]] bool IsApplied() const { return m_applied; }

private:
    const sighandler_t m_previousHandler;
    rlimit m_saved{};
    bool m_applied = false;
};
