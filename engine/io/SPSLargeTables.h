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

// Hands the memory of the whole pages from byte from to byte to of data back
// to the system, which gives them again, zeroed, when next touched: for a
// table copied elsewhere piece by piece, so that the two are not held whole at
// once. Gives the byte up to which the pages are handed back, where the next
// piece's may start.
SPS_ENGINE_EXPORT std::size_t SPSReleasePages(void* data, std::size_t from, std::size_t to);

// Hands what the C library's malloc keeps of freed blocks back to the system.
// After a first block of a few megabytes is freed it keeps such blocks for
// reuse, which is quick, but a check then held a load's long freed tables to
// its end; called once a load is done with.
SPS_ENGINE_EXPORT void SPSReturnFreedMemory();

// std::allocator, but a block of 4 MiB or more is advised as above.
template <typename T> struct SPSLargeAllocator
{
    using value_type = T;
    static constexpr std::size_t kAdviseFrom = std::size_t(4) << 20;

    SPSLargeAllocator() noexcept = default;
    template <typename U> SPSLargeAllocator(const SPSLargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        void* p = ::operator new(bytes);
        if (bytes >= kAdviseFrom)
            SPSAdviseLargePages(p, bytes);
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { ::operator delete(p); }
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

// A vector for tables that may hold millions of rows.
template <typename T> using SPSLargeVector = std::vector<T, SPSLargeAllocator<T>>;
