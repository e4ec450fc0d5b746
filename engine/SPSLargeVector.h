#pragma once

#include <cstdlib>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// An allocator for the load's large tables. Blocks of 2 MiB and more are
// aligned to 2 MiB and offered to the kernel for transparent huge pages:
// filling a table of tens of megabytes then faults once per 2 MiB instead of
// once per 4 KiB, which on a virtual machine is a good part of a load.
// Smaller blocks, and systems without the offer, get plain memory.
template <typename T> class SPSLargeAllocator
{
public:
    using value_type = T;

    SPSLargeAllocator() = default;
    template <typename U> SPSLargeAllocator(const SPSLargeAllocator<U>&) {}

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePage)
            return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
        if (!p)
            throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        // Only advice: where the kernel declines, the pages are plain ones.
        ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n)
    {
        if (n * sizeof(T) < kHugePage)
            ::operator delete(p);
        else
            std::free(p);
    }

    template <typename U> bool operator==(const SPSLargeAllocator<U>&) const
    {
        return true;
    }
    template <typename U> bool operator!=(const SPSLargeAllocator<U>&) const
    {
        return false;
    }

private:
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;
};

template <typename T> using SPSLargeVector = std::vector<T, SPSLargeAllocator<T>>;
