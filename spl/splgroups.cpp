#include "spl/splgroups.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace
{

constexpr std::uint32_t UPPER_FLAG = 1;
constexpr std::uint32_t SECOND_FLAG = 2;

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

// A total order: by coordinate, lower edges before upper ones, then by shape. So boxes that only touch share a
// cluster (the strict narrow phase keeps that harmless), a box of zero width opens before it closes, and any
// subset of the edges sorts as it stands in the sorted whole.
template <typename Edge>
bool before(const Edge& a, const Edge& b)
{
    if (a.key != b.key)
        return a.key < b.key;
    const std::uint64_t aTie = (std::uint64_t{a.flags & UPPER_FLAG} << 32) | a.shape;
    const std::uint64_t bTie = (std::uint64_t{b.flags & UPPER_FLAG} << 32) | b.shape;
    return aTie < bTie;
}

// Insertion sort, fast on the nearly sorted order of the last split; false, with the edges still a permutation,
// once it has shifted more edges than the budget allows.
template <typename Edge>
bool insertionSort(std::vector<Edge>& edges, std::size_t budget)
{
    for (std::size_t i = 1; i < edges.size(); ++i)
    {
        const Edge edge = edges[i];
        std::size_t j = i;
        while (j > 0 && before(edge, edges[j - 1]))
        {
            edges[j] = edges[j - 1];
            --j;
            if (--budget == 0)
            {
                edges[j] = edge;
                return false;
            }
        }
        edges[j] = edge;
    }
    return true;
}

} // namespace

void SPLGroups::split(const std::vector<SPLShape*>& shapes, int axis)
{
    mGroupShapes.clear();
    mGroupEnds.clear();
    if (shapes.size() < 2)
        return;
    if (axis != 1 && axis != 2)
        DBG_ERROR("Unknown axis.");

    const bool keptOrder = shapes == mShapes;
    readEdges(shapes);
    if (!keptOrder)
        mShapes = shapes;
    sortEdges(keptOrder);
    mRegrouped = false;
    mWork.resize(shapes.size() + 1);
    mCluster.resize(shapes.size());
    splitRange(0, shapes.size(), axis);
}

std::span<SPLShape* const> SPLGroups::group(std::size_t i) const
{
    const std::size_t begin = i == 0 ? 0 : mGroupEnds[i - 1];
    return {mGroupShapes.data() + begin, mGroupEnds[i] - begin};
}

void SPLGroups::readEdges(const std::vector<SPLShape*>& shapes)
{
    mRead.resize(4 * shapes.size());
    for (std::size_t s = 0; s < shapes.size(); ++s)
    {
        // x from edges 1 and 2, y from edges 4 and 3.
        const int numbers[4] = {1, 2, 4, 3};
        for (int axis = 0; axis < 2; ++axis)
        {
            const auto [first, second] =
                visitShape(*shapes[s], [&](auto& shape)
                           { return std::pair(shape.edge(numbers[2 * axis]), shape.edge(numbers[2 * axis + 1])); });
            const bool firstIsLower = first.type == SPLEdgeType::LOWER && second.type == SPLEdgeType::UPPER;
            if (!firstIsLower && !(first.type == SPLEdgeType::UPPER && second.type == SPLEdgeType::LOWER))
                DBG_ERROR("Unknoen edge type.");
            const auto index = static_cast<std::uint32_t>(s);
            mRead[4 * s + 2 * axis] = {sortKey(first.coordinate), index, firstIsLower ? 0 : UPPER_FLAG};
            mRead[4 * s + 2 * axis + 1] = {sortKey(second.coordinate), index,
                                           SECOND_FLAG | (firstIsLower ? UPPER_FLAG : 0)};
        }
    }
}

void SPLGroups::sortEdges(bool keptOrder)
{
    for (std::size_t axis = 0; axis < 2; ++axis)
    {
        std::vector<SweepEdge>& sorted = mSorted[axis];
        if (keptOrder)
        {
            for (SweepEdge& edge : sorted)
                edge = mRead[4 * edge.shape + 2 * axis + ((edge.flags & SECOND_FLAG) ? 1 : 0)];
            // Past a few shifts per edge a full sort is the cheaper way to the same order.
            if (insertionSort(sorted, 4 * sorted.size()))
                continue;
        }
        else
        {
            sorted.resize(2 * mShapes.size());
            for (std::size_t s = 0; s < mShapes.size(); ++s)
            {
                sorted[2 * s] = mRead[4 * s + 2 * axis];
                sorted[2 * s + 1] = mRead[4 * s + 2 * axis + 1];
            }
        }
        std::sort(sorted.begin(), sorted.end(), before<SweepEdge>);
    }
}

// Shapes [begin, end) of mWork own edges [2 begin, 2 end) of both edge lists, each range in ascending order.
void SPLGroups::splitRange(std::size_t begin, std::size_t end, int axis)
{
    if (end - begin < 2)
        return;

    // The sweep writes the shapes back over the range in the order of their lower edges, cluster after cluster.
    // Lower and upper edges come in no pattern, so both write alike and only a lower one keeps what it wrote: an
    // upper edge's shape is overwritten by the next lower one, or lands in the spare slot past the range.
    const std::vector<SweepEdge>& edges = mRegrouped ? mEdges[axis - 1] : mSorted[axis - 1];
    const std::size_t clusterBase = mClusterEnds.size();
    std::size_t written = begin;
    int open = 0;
    for (std::size_t e = 2 * begin; e < 2 * end; ++e)
    {
        const SweepEdge& edge = edges[e];
        const std::uint32_t upper = edge.flags & UPPER_FLAG;
        mWork[written] = edge.shape;
        written += 1 - upper;
        open += 1 - 2 * static_cast<int>(upper);
        if (open == 0 && upper)
            mClusterEnds.push_back(written);
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
            for (std::size_t k = begin; k < end; ++k)
                mGroupShapes.push_back(mShapes[mWork[k]]);
            mGroupEnds.push_back(mGroupShapes.size());
        }
        else
        {
            splitRange(begin, end, 2);
        }
        return;
    }
    // Until the first cluster splits off, every range swept is the whole, still in the sorted order.
    if (!mRegrouped)
    {
        mEdges[0] = mSorted[0];
        mEdges[1] = mSorted[1];
        mRegrouped = true;
    }
    std::size_t clusterBegin = begin;
    for (std::size_t c = 0; c < clusterCount; ++c)
    {
        const std::size_t clusterEnd = mClusterEnds[clusterBase + c];
        for (std::size_t k = clusterBegin; k < clusterEnd; ++k)
            mCluster[mWork[k]] = static_cast<std::uint32_t>(c);
        clusterBegin = clusterEnd;
    }
    partition(mEdges[0], begin, end, clusterBase);
    partition(mEdges[1], begin, end, clusterBase);
    const int next = otherAxis(axis);
    clusterBegin = begin;
    for (std::size_t c = 0; c < clusterCount; ++c)
    {
        // Read by index: the deeper splits push their own ends after ours and pop them again.
        const std::size_t clusterEnd = mClusterEnds[clusterBase + c];
        splitRange(clusterBegin, clusterEnd, next);
        clusterBegin = clusterEnd;
    }
    mClusterEnds.resize(clusterBase);
}

// Regroups the range's edges cluster by cluster, each cluster's in the order they had: a stable counting sort.
void SPLGroups::partition(std::vector<SweepEdge>& edges, std::size_t begin, std::size_t end, std::size_t clusterBase)
{
    mFill.resize(mClusterEnds.size() - clusterBase);
    std::size_t clusterBegin = begin;
    for (std::size_t c = 0; c < mFill.size(); ++c)
    {
        mFill[c] = 2 * clusterBegin;
        clusterBegin = mClusterEnds[clusterBase + c];
    }
    mScratch.assign(edges.begin() + static_cast<std::ptrdiff_t>(2 * begin),
                    edges.begin() + static_cast<std::ptrdiff_t>(2 * end));
    for (const SweepEdge& edge : mScratch)
        edges[mFill[mCluster[edge.shape]]++] = edge;
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
