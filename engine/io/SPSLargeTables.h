#pragma once

#include "SPSEngineExport.h"

#include <cstddef>
#include <new>
#include <vector>

// The tables of a survey are filled front to back, a million rows at a time.
// On 4 KiB pages every 4 KiB filled costs a page fault, and on a virtual
// machine the fault costs more than the filling: a check of 2 x 10^6 points
// spent a fifth of its time in them. Memory the kernel may back with 2 MiB
// pages faults 512 times less often; it is asked for, never required.

// Asks that the whole 2 MiB pages within bytes from data be backed so; does
// nothing where the system has no such pages or refuses.
SPS_ENGINE_EXPORT void SPSAdviseLargePages(void* data, std::size_t bytes);

// A block of its own, on 2 MiB boundaries where the system maps memory, advised
// as above; throws std::bad_alloc when there is no room. The malloc of the C
// library keeps a freed block of a few megabytes for reuse after the first
// such block is freed, so that a check held the load's tables, long freed, to
// its end: a block of its own goes back to the system when freed.
SPS_ENGINE_EXPORT void* SPSAllocateLarge(std::size_t bytes);
// Frees a block of SPSAllocateLarge, with the size it was asked for.
SPS_ENGINE_EXPORT void SPSFreeLarge(void* data, std::size_t bytes) noexcept;

// Hands the memory of the whole pages within bytes from data back to the
// system, which gives them again, zeroed, when next touched: for a table
// copied elsewhere piece by piece, so that the two are not held whole at once.
SPS_ENGINE_EXPORT void SPSReleasePages(void* data, std::size_t bytes);

// Hands what the C library's malloc holds freed back to the system, where it
// can: after a load, whose many smaller temporaries it would keep for reuse.
SPS_ENGINE_EXPORT void SPSReturnFreedMemory();

// std::allocator, but a block of 4 MiB or more is one of SPSAllocateLarge.
template <typename T> struct SPSLargeAllocator
{
    using value_type = T;
    static constexpr std::size_t kLargeFrom = std::size_t(4) << 20;

    SPSLargeAllocator() noexcept = default;
    template <typename U> SPSLargeAllocator(const SPSLargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        return static_cast<T*>(bytes >= kLargeFrom ? SPSAllocateLarge(bytes)
                                                   : ::operator new(bytes));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) >= kLargeFrom)
            SPSFreeLarge(p, n * sizeof(T));
        else
            ::operator delete(p);
    }
};

template <typename T, typename U>
bool operator==(const SPSLargeAllocator<T>&, const SPSLargeAllocator<U>&) noexcept
{
    return true;
}
template <typename T, typename U>
bool operator!=(const SPSLargeAllocator<T>&, const SPSLargeAllocator<U>&) noexcept
{
    return false;
}

// Frees a block of SPSLargeAllocator<char> of that many bytes: for a buffer
// that is neither filled nor copied beyond what is used.
struct SPSLargeBlockDeleter
{
    std::size_t bytes = 0;
    void operator()(char* p) const noexcept { SPSLargeAllocator<char>().deallocate(p, bytes); }
};

// A vector for tables that may hold millions of rows.
template <typename T> using SPSLargeVector = std::vector<T, SPSLargeAllocator<T>>;
