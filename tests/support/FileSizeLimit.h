#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, every file write of this process past `bytes` fails, as on a
// full disk; this holds for root too, so a failed save can be tested anywhere.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_Saved);
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_Saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Saved);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_Saved{};
    void (*m_OldHandler)(int) = nullptr;
};
