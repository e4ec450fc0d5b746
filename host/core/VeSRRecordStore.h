#pragma once

#include "VePrevSegySRGeometry.h"

#include <cstdlib>
#include <memory>
#include <vector>

// The records a store held when it was taken, read where they stand: the
// store's blocks are shared, never written below the size taken, so a reader
// on another thread needs neither a copy nor the store's lock.
class VeSRRecordSnapshot
{
public:
    // The records of a vector as one block of their own.
    static VeSRRecordSnapshot Of(std::vector<VePrevSegySRGeometry> records)
    {
        VeSRRecordSnapshot snapshot;
        if (records.empty())
            return snapshot;
        auto owner = std::make_shared<const std::vector<VePrevSegySRGeometry>>(std::move(records));
        snapshot.m_nSize = owner->size();
        snapshot.m_nBlockRecords = owner->size();
        snapshot.m_Blocks.emplace_back(owner, owner->data());
        return snapshot;
    }

    size_t Size() const { return m_nSize; }
    // Calls visit(record) for each record in order.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        for (size_t b = 0, left = m_nSize; left > 0; ++b) {
            const VePrevSegySRGeometry* block = m_Blocks[b].get();
            const size_t n = left < m_nBlockRecords ? left : m_nBlockRecords;
            for (size_t i = 0; i < n; ++i)
                visit(block[i]);
            left -= n;
        }
    }

private:
    friend class VeSRRecordStore;
    std::vector<std::shared_ptr<const VePrevSegySRGeometry>> m_Blocks;
    size_t m_nSize = 0;
    size_t m_nBlockRecords = 1;
};

// Shot or receiver records in blocks that never move: appending copies
// nothing already held, and a load of a million records needs no second,
// larger copy of them while it grows. Blocks are left unwritten until filled,
// so a small object costs little. Not thread-safe; its owner guards it.
class VeSRRecordStore
{
public:
    void Append(const VePrevSegySRGeometry& record);
    size_t Size() const { return m_nSize; }
    // Throws std::out_of_range beyond Size(), as std::vector::at does.
    const VePrevSegySRGeometry& At(size_t index) const;
    std::vector<VePrevSegySRGeometry> ToVector() const;
    VeSRRecordSnapshot Snapshot() const;
    void Assign(const std::vector<VePrevSegySRGeometry>& records);

private:
    static constexpr size_t kBlockBytes = size_t(2) << 20;
    static constexpr size_t kBlockRecords = kBlockBytes / sizeof(VePrevSegySRGeometry);

    // Shared with the snapshots taken, which keep a block after Assign drops it.
    std::vector<std::shared_ptr<VePrevSegySRGeometry>> m_Blocks;
    size_t m_nSize = 0;
};
