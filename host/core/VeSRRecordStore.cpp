#include "VeSRRecordStore.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<VePrevSegySRGeometry>,
              "records are copied into raw blocks");

void VeSRRecordStore::Append(const VePrevSegySRGeometry& record)
{
    if (m_nSize == m_Blocks.size() * kBlockRecords) {
        auto* raw = static_cast<VePrevSegySRGeometry*>(std::malloc(kBlockBytes));
        if (!raw)
            throw std::bad_alloc();
        m_Blocks.emplace_back(raw, [](VePrevSegySRGeometry* block) { std::free(block); });
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
