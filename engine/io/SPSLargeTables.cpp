#include "SPSLargeTables.h"

#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

// The address sanitizer sees into blocks of operator new only.
#if defined(__SANITIZE_ADDRESS__)
#define SPS_LARGE_BLOCKS_OF_NEW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPS_LARGE_BLOCKS_OF_NEW 1
#endif
#endif
#if !defined(SPS_LARGE_BLOCKS_OF_NEW) && !defined(__linux__)
#define SPS_LARGE_BLOCKS_OF_NEW 1
#endif

namespace {
constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;
constexpr std::uintptr_t kPage = 4096;

std::uintptr_t roundUp(std::uintptr_t v, std::uintptr_t to)
{
    return (v + to - 1) & ~(to - 1);
}
} // namespace

void SPSAdviseLargePages(void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const std::uintptr_t begin = roundUp(std::uintptr_t(data), kLargePage);
    const std::uintptr_t end = (std::uintptr_t(data) + bytes) & ~(kLargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void* SPSAllocateLarge(std::size_t bytes)
{
#ifdef SPS_LARGE_BLOCKS_OF_NEW
    void* p = ::operator new(bytes);
    SPSAdviseLargePages(p, bytes);
    return p;
#else
    // Mapped with room to start on a large page, the rest handed back.
    const std::uintptr_t length = roundUp(bytes, kPage);
    if (length < bytes || length > std::uintptr_t(-1) - kLargePage)
        throw std::bad_alloc();
    void* raw = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const std::uintptr_t begin = std::uintptr_t(raw);
    const std::uintptr_t aligned = roundUp(begin, kLargePage);
    if (aligned > begin)
        munmap(raw, aligned - begin);
    if (const std::uintptr_t tail = begin + length + kLargePage - (aligned + length); tail > 0)
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* p = reinterpret_cast<void*>(aligned);
    SPSAdviseLargePages(p, length);
    return p;
#endif
}

void SPSFreeLarge(void* data, std::size_t bytes) noexcept
{
#ifdef SPS_LARGE_BLOCKS_OF_NEW
    (void)bytes;
    ::operator delete(data);
#else
    if (data)
        munmap(data, roundUp(bytes, kPage));
#endif
}

void SPSReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void SPSReleasePages(void* data, std::size_t bytes)
{
#if !defined(SPS_LARGE_BLOCKS_OF_NEW) && defined(MADV_DONTNEED)
    const std::uintptr_t begin = roundUp(std::uintptr_t(data), kPage);
    const std::uintptr_t end = (std::uintptr_t(data) + bytes) & ~(kPage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
#else
    (void)data;
    (void)bytes;
#endif
}
