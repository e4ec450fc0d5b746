#include "VeSRRecordStore.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <type_traits>

#ifdef __linux__
#include <sys/mman.h>
#endif

static_assert(std::is_trivially_copyable_v<VePrevSegySRGeometry>,
              "records are copied into raw blocks");

namespace {
// A block of its own, mapped where the system maps memory: the C library's
// malloc would keep freed blocks of this size for reuse after the first one
// is freed, and a geometry deleted would still hold its memory.
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
VePrevSegySRGeometry* allocateBlock(size_t bytes)
{
    void* raw = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return raw == MAP_FAILED ? nullptr : static_cast<VePrevSegySRGeometry*>(raw);
}
void freeBlock(VePrevSegySRGeometry* block, size_t bytes)
{
    munmap(block, bytes);
}
#else
VePrevSegySRGeometry* allocateBlock(size_t bytes)
{
    return static_cast<VePrevSegySRGeometry*>(std::malloc(bytes));
}
void freeBlock(VePrevSegySRGeometry* block, size_t)
{
    std::free(block);
}
#endif
} // namespace

void VeSRRecordStore::Append(const VePrevSegySRGeometry& record)
{
    if (m_nSize == m_Blocks.size() * kBlockRecords) {
        auto* raw = allocateBlock(kBlockBytes);
        if (!raw)
            throw std::bad_alloc();
        m_Blocks.emplace_back(raw,
                              [](VePrevSegySRGeometry* block) { freeBlock(block, kBlockBytes); });
    }
    m_Blocks.back().get()[m_nSize % kBlockRecords] = record;
    ++m_nSize;
}

const VePrevSegySRGeometry& VeSRRecordStore::At(size_t index) const
{
    if (index >= m_nSize)
        throw std::out_of_range("VeSRRecordStore::At");
    return m_Blocks[index / kBlockRecords].get()[index % kBlockRecords];
}

std::vector<VePrevSegySRGeometry> VeSRRecordStore::ToVector() const
{
    std::vector<VePrevSegySRGeometry> records;
    records.reserve(m_nSize);
    for (size_t i = 0; i < m_Blocks.size(); ++i) {
        const VePrevSegySRGeometry* block = m_Blocks[i].get();
        records.insert(records.end(), block,
                       block + std::min(kBlockRecords, m_nSize - i * kBlockRecords));
    }
    return records;
}

VeSRRecordSnapshot VeSRRecordStore::Snapshot() const
{
    VeSRRecordSnapshot snapshot;
    snapshot.m_Blocks.assign(m_Blocks.begin(), m_Blocks.end());
    snapshot.m_nSize = m_nSize;
    snapshot.m_nBlockRecords = kBlockRecords;
    return snapshot;
}

void VeSRRecordStore::Assign(const std::vector<VePrevSegySRGeometry>& records)
{
    m_Blocks.clear();
    m_nSize = 0;
    for (const VePrevSegySRGeometry& record : records)
        Append(record);
}
