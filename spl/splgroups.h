#pragma once
// The broad phase of the physics system: shapes split into groups that may touch, by sorting and sweeping the
// edges of their boxes and splitting every cluster found again on the other axis, never by testing every pair.
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
    /// order of their lower edges on the last axis swept.
    void split(const std::vector<SPLShape*>& shapes, int axis);
    std::size_t count() const { return mGroupEnds.size(); }
    /// Group i of the last split, 0 <= i < count().
    std::span<SPLShape* const> group(std::size_t i) const;

private:
    struct SweepEdge
    {
        std::uint64_t key; // the coordinate, as bits that sort in the order of the values
        int type;
        SPLShape* owner;
    };

    void splitRange(std::size_t begin, std::size_t end, int axis);

    std::vector<SPLShape*> mWork;          // the shapes being split, reordered cluster by cluster
    std::vector<SweepEdge> mEdges;         // the edges of the range being swept
    std::vector<std::size_t> mClusterEnds; // per level of splitting, where its clusters end in mWork
    std::vector<SPLShape*> mGroupShapes;   // the groups found, one after the other
    std::vector<std::size_t> mGroupEnds;   // where each group ends in mGroupShapes
};

/// The groups of SPLGroups::split as separate lists.
std::vector<SPLGroup> splitGroup(const std::vector<SPLShape*>& shapes, int axis);
