#pragma once

#include "VePrevSegySRGeometry.h"

#include <cstdlib>
#include <memory>
#include <vector>

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
    void Assign(const std::vector<VePrevSegySRGeometry>& records);

private:
    static constexpr size_t kBlockBytes = size_t(2) << 20;
    static constexpr size_t kBlockRecords = kBlockBytes / sizeof(VePrevSegySRGeometry);

    struct Free
    {
        void operator()(VePrevSegySRGeometry* block) const { std::free(block); }
    };

    std::vector<std::unique_ptr<VePrevSegySRGeometry[], Free>> m_Blocks;
    size_t m_nSize = 0;
};
