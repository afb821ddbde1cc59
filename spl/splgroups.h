#pragma once
// The broad phase of the physics system: shapes split into groups that may touch, by sorting and sweeping the
// edges of their boxes and splitting every cluster found again on the other axis, never by testing every pair.
// Each axis is sorted once per split and every cluster keeps that order, so no level sorts again; the sorted
// order is kept for the next split of the same shapes, which bodies that moved little put right cheaply.
//
// Depends on spl/splshape.h and foundation/dbg.h.

#include "spl/splshape.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

/// Shapes that may touch, as the broad phase groups them.
using SPLGroup = std::vector<SPLShape*>;

/// The broad phase with its working storage, kept from one split to the next so that a warm split allocates
/// nothing. The groups it finds stay readable until the next split.
class SPLGroups
{
public:
    /// Splits the shapes into groups whose boxes overlap in chains on both axes, sweeping first on the axis
    /// (1 x, 2 y; another throws "Unknown axis.") and then alternately. Groups hold at least two shapes, in the
    /// order of their lower edges on the last axis swept. Edges at one coordinate sort lower before upper, then
    /// in the order of their shapes in the list. A shape whose two edges on an axis are not one lower and one
    /// upper throws "Unknoen edge type.".
    void split(const std::vector<SPLShape*>& shapes, int axis);
    std::size_t count() const { return mGroupEnds.size(); }
    /// Group i of the last split, 0 <= i < count().
    std::span<SPLShape* const> group(std::size_t i) const;

private:
    struct SweepEdge
    {
        std::uint64_t key;   // the coordinate, as bits that sort in the order of the values
        std::uint32_t shape; // index in mShapes
        std::uint32_t flags; // UPPER_FLAG, and which of the shape's two edges on the axis (SECOND_FLAG)
    };

    void readEdges(const std::vector<SPLShape*>& shapes);
    void sortEdges(bool keptOrder);
    void splitRange(std::size_t begin, std::size_t end, int axis);
    void partition(std::vector<SweepEdge>& edges, std::size_t begin, std::size_t end, std::size_t clusterBase);

    std::vector<SPLShape*> mShapes;      // the shapes of the last split, which mSorted belongs to
    std::vector<SweepEdge> mRead;        // per shape its x edges, then its y edges, as last read
    std::vector<SweepEdge> mSorted[2];   // every edge on x and on y in ascending order
    std::vector<SweepEdge> mEdges[2];    // the same, regrouped cluster by cluster as the split goes
    bool mRegrouped = false;             // whether this split has regrouped the edges, so that mEdges is the one in use
    std::vector<SweepEdge> mScratch;     // a range of edges being regrouped
    std::vector<std::uint32_t> mWork;    // shape indices of the range being split, in the order swept; one spare
    std::vector<std::uint32_t> mCluster; // per shape, its cluster in the range last split apart
    std::vector<std::size_t> mClusterEnds; // per level of splitting, where its clusters end in mWork
    std::vector<std::size_t> mFill;        // where the next edge of each cluster goes while regrouping
    std::vector<SPLShape*> mGroupShapes;   // the groups found, one after the other
    std::vector<std::size_t> mGroupEnds;   // where each group ends in mGroupShapes
};

/// The groups of SPLGroups::split as separate lists.
std::vector<SPLGroup> splitGroup(const std::vector<SPLShape*>& shapes, int axis);
