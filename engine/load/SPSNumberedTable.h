#pragma once

#include "SPSEngineExport.h"

#include "SPSAddThenSort.h"
#include "SPSPointGeometry.h"

#include <QtGlobal>

// Shots or receivers by point number. Points are added as they come; Sort then
// puts them in ascending number, keeping of each number the point added last.
class SPS_ENGINE_EXPORT SPSNumberedTable : public SPSAddThenSort<SPSPointGeometry>
{
public:
    void Add(const SPSPointGeometry& point)
    {
        Append(point, [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
            return a.m_nNumber < b.m_nNumber;
        });
    }
    // Sorts the points added since the last Sort; the rest need it done.
    void Sort();
    void Clear() { ClearRows(); }

    // Takes the points over as the table's, when no two share a number:
    // number(point) gives each its number from its own, finish(point) then
    // scales its values, and they are sorted by number; accepted() is called
    // first, so that the caller may free what it no longer needs. False, with
    // the points left as they were, when some share a number.
    //
    // asTheyStand: number and finish change no point, so that the points need
    // no pass of their own; ascending: besides, their numbers are known to
    // ascend strictly, so that nothing need be looked at.
    template <typename Number, typename Finish, typename Accepted>
    bool AdoptIfUnique(SPSLargeVector<SPSPointGeometry>& points, Number&& number, Finish&& finish,
                       Accepted&& accepted, bool asTheyStand = false, bool ascending = false)
    {
        // Ordered files number their points ascending: one look decides, and
        // the points stay where they are.
        if (!(asTheyStand && ascending)) {
            ascending = true;
            for (size_t i = 1; i < points.size() && ascending; ++i)
                ascending = number(points[i - 1]) < number(points[i]);
        }
        std::vector<quint64> pairs;
        if (!ascending) {
            if (!FitsPairs(points.size()))
                return false;
            pairs = SortedPairs(points, number);
            if (!NumbersUnique(pairs))
                return false;
        }
        accepted();
        if (!asTheyStand) {
            for (SPSPointGeometry& point : points) {
                point.m_nNumber = number(point);
                finish(point);
            }
        }
        m_Rows = pairs.empty() ? std::move(points) : Ordered(points, pairs);
        points = SPSLargeVector<SPSPointGeometry>();
        m_bSorted = true;
        return true;
    }

    // After Sort: the point with this number, or null (valid until the next Add).
    const SPSPointGeometry* Find(qint32 number) const;

    // After Sort: calls visit(point) for every point in ascending number.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        Q_ASSERT(m_bSorted);
        for (const SPSPointGeometry& point : m_Rows)
            visit(point);
    }

private:
    // A point's number and its place, in one word that sorts as the number
    // (the sign bit flipped) and then the place.
    static quint64 Pair(qint32 number, size_t place)
    {
        return quint64(quint32(number) ^ 0x80000000u) << 32 | quint64(place);
    }
    static bool FitsPairs(size_t points) { return points <= 0xFFFFFFFFu; }
    // The (number(point), place) pairs of the points, sorted.
    template <typename Number>
    static std::vector<quint64> SortedPairs(const SPSLargeVector<SPSPointGeometry>& points,
                                            Number&& number)
    {
        std::vector<quint64> pairs;
        pairs.reserve(points.size());
        for (const SPSPointGeometry& point : points)
            pairs.push_back(Pair(number(point), pairs.size()));
        SortPairs(pairs);
        return pairs;
    }
    static void SortPairs(std::vector<quint64>& pairs);
    static bool NumbersUnique(const std::vector<quint64>& sortedPairs);
    // The points in the order of the pairs' places.
    static SPSLargeVector<SPSPointGeometry> Ordered(const SPSLargeVector<SPSPointGeometry>& points,
                                                    const std::vector<quint64>& pairs);
};
