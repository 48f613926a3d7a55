#pragma once

// Resource limits of this process, lowered for as long as the object lives.

#include <csignal>

#include <sys/resource.h>

class LoweredLimit
{
public:
    LoweredLimit(int resource, rlim_t soft)
        : m_resource(resource)
    {
        ::getrlimit(m_resource, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_applied = ::setrlimit(m_resource, &lowered) == 0;
    }
    ~LoweredLimit() { ::setrlimit(m_resource, &m_saved); }
    LoweredLimit(const LoweredLimit &) = delete;
    LoweredLimit &operator=(const LoweredLimit &) = delete;

    [[nodiscard]] bool IsApplied() const { return m_applied; }

private:
    const int m_resource;
    rlimit m_saved{};
    bool m_applied = false;
};

// The project's stand-in for a full disk: past the limit a write fails with
// EFBIG, and SIGXFSZ is ignored meanwhile so that it does not end the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
        , m_limit(RLIMIT_FSIZE, bytes)
    {
    }
    ~FileSizeLimit() { std::signal(SIGXFSZ, m_previousHandler); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    [[nodiscard]] bool IsApplied() const { return m_limit.IsApplied(); }

private:
    const sighandler_t m_previousHandler;
    const LoweredLimit m_limit;
};
