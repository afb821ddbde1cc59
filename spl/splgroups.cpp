#include "spl/splgroups.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <bit>

namespace
{

// Maps a double to an unsigned key whose order is the total order of the values (negatives flipped), so the
// sort is a plain integer comparison and a stray NaN cannot break the sort's ordering contract.
std::uint64_t sortKey(double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    return (bits & 0x8000000000000000u) ? ~bits : bits | 0x8000000000000000u;
}

int otherAxis(int axis)
{
    switch (axis)
    {
    case 1:
        return 2;
    case 2:
        return 1;
    default:
        DBG_ERROR("Unknoen axis.");
    }
}

} // namespace

void SPLGroups::split(const std::vector<SPLShape*>& shapes, int axis)
{
    mWork.assign(shapes.begin(), shapes.end());
    mGroupShapes.clear();
    mGroupEnds.clear();
    splitRange(0, mWork.size(), axis);
}

std::span<SPLShape* const> SPLGroups::group(std::size_t i) const
{
    const std::size_t begin = i == 0 ? 0 : mGroupEnds[i - 1];
    return {mGroupShapes.data() + begin, mGroupEnds[i] - begin};
}

void SPLGroups::splitRange(std::size_t begin, std::size_t end, int axis)
{
    if (end - begin < 2)
        return;

    int lowerEdge = 0;
    int upperEdge = 0;
    switch (axis)
    {
    case 1:
        lowerEdge = 1;
        upperEdge = 2;
        break;
    case 2:
        lowerEdge = 4;
        upperEdge = 3;
        break;
    default:
        DBG_ERROR("Unknown axis.");
    }

    mEdges.clear();
    for (std::size_t i = begin; i < end; ++i)
    {
        for (const int number : {lowerEdge, upperEdge})
        {
            const SPLEdge edge = mWork[i]->edge(number);
            mEdges.push_back({sortKey(edge.coordinate), edge.type, edge.owner});
        }
    }
    // At equal coordinates lower edges go first, so boxes that only touch share a cluster (the strict narrow
    // phase keeps that harmless) and a box of zero width still opens before it closes.
    std::sort(mEdges.begin(), mEdges.end(),
              [](const SweepEdge& a, const SweepEdge& b)
              { return a.key < b.key || (a.key == b.key && a.type < b.type); });

    // The sweep writes the owners back over the range in the order of their lower edges, cluster after cluster.
    const std::size_t clusterBase = mClusterEnds.size();
    std::size_t written = begin;
    int open = 0;
    for (const SweepEdge& edge : mEdges)
    {
        switch (edge.type)
        {
        case SPLEdgeType::LOWER:
            mWork[written++] = edge.owner;
            ++open;
            break;
        case SPLEdgeType::UPPER:
            if (--open == 0)
                mClusterEnds.push_back(written);
            break;
        default:
            DBG_ERROR("Unknoen edge type.");
        }
    }
    // Only a box with its minimum above its maximum (a negative radius) leaves a cluster unclosed; keep its
    // shapes in play rather than dropping them.
    if (mClusterEnds.size() == clusterBase || mClusterEnds.back() != end)
        mClusterEnds.push_back(end);

    const std::size_t clusterCount = mClusterEnds.size() - clusterBase;
    if (clusterCount == 1)
    {
        mClusterEnds.pop_back();
        if (axis == 2)
        {
            mGroupShapes.insert(mGroupShapes.end(), mWork.begin() + begin, mWork.begin() + end);
            mGroupEnds.push_back(mGroupShapes.size());
        }
        else
        {
            splitRange(begin, end, 2);
        }
        return;
    }
    const int next = otherAxis(axis);
    std::size_t clusterBegin = begin;
    for (std::size_t c = 0; c < clusterCount; ++c)
    {
        // Read by index: the deeper splits push their own ends after ours and pop them again.
        const std::size_t clusterEnd = mClusterEnds[clusterBase + c];
        splitRange(clusterBegin, clusterEnd, next);
        clusterBegin = clusterEnd;
    }
    mClusterEnds.resize(clusterBase);
}

std::vector<SPLGroup> splitGroup(const std::vector<SPLShape*>& shapes, int axis)
{
    SPLGroups groups;
    groups.split(shapes, axis);
    std::vector<SPLGroup> result;
    for (std::size_t i = 0; i < groups.count(); ++i)
    {
        const std::span<SPLShape* const> group = groups.group(i);
        result.emplace_back(group.begin(), group.end());
    }
    return result;
}
