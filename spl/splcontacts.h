#pragma once
// Contacts between shapes: the pair that records one, the test and reaction of two shapes, and the narrow phase
// that sends the pairs of a group through that test in their defined order.
//
// Depends on spl/splshape.h, spl/splvector.h and foundation/dbg.h.

#include "spl/splshape.h"
#include "spl/splvector.h"

#include <cstddef>
#include <span>
#include <vector>

/// Two shapes in contact. A pair holds a use of each shape (SPLObject::useCount) for as long as it exists.
class SPLShapePair
{
public:
    /// Takes a use of both shapes, which must outlive the pair.
    SPLShapePair(SPLShape* first, SPLShape* second);
    /// Takes its own uses of the other pair's shapes.
    SPLShapePair(const SPLShapePair& other);
    /// Takes over the other pair's uses; the other pair is left empty and releases nothing.
    SPLShapePair(SPLShapePair&& other) noexcept;
    /// Takes uses of the other pair's shapes, then releases its own.
    SPLShapePair& operator=(const SPLShapePair& other);
    /// Releases both uses.
    ~SPLShapePair();

    SPLShape* first() const { return mFirst; }
    SPLShape* second() const { return mSecond; }

private:
    void release();

    SPLShape* mFirst;
    SPLShape* mSecond;
};

/// Tests the two shapes and reacts: solid spheres that overlap are pushed apart, bounced elastically and
/// appended to the collisions; an overlap with a non-solid one is appended to the overlaps. Circles that only
/// touch give nothing. Throws "Unknown Shape." for a kind other than the sphere.
void collideShapes(SPLShape& first, SPLShape& second, std::vector<SPLShapePair>& collisions,
                   std::vector<SPLShapePair>& overlaps);

/// The narrow phase with its working storage: sends every pair i < j of a group through collideShapes, in that
/// order, as the first and the second shape. Pairs that cannot touch, as the shapes stand when the pair's turn
/// comes, are passed over without a call; they would do nothing there. A big group of finite shapes without
/// negative radii is searched through a grid of cells that follows every push; any other group that stands in
/// ascending order of its lower y edges, as the broad phase leaves it, is swept in y, and one that does not gets
/// every pair tested.
class SPLNarrowPhase
{
public:
    /// Collides the group's pairs, appending to the two lists; the shapes stay the caller's.
    void collide(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                 std::vector<SPLShapePair>& overlaps);

private:
    struct Cached
    {
        double x;
        double y;
        double radius;
        double low; // y - radius when the group was read, the key of its order
    };
    struct Slot
    {
        double x;
        double y;
        double radius;
        std::size_t shape;
    };

    void sweep(std::span<SPLShape* const> group, bool ordered, std::vector<SPLShapePair>& collisions,
               std::vector<SPLShapePair>& overlaps);
    void search(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                std::vector<SPLShapePair>& overlaps);
    bool layGrid(double farthest);
    void fill();
    std::size_t column(double x) const;
    std::size_t row(double y) const;
    std::size_t cellOf(const Cached& shape) const;
    bool isLarge(std::size_t k) const { return mCache[k].radius > 0.5 * mCellSize; }
    void gather(std::size_t k, std::size_t after);
    void place(std::size_t k);
    bool borrow(std::size_t cell);
    void lift(std::size_t k);
    void follow(std::size_t k);

    std::vector<Cached> mCache;
    // The grid of the search: square cells of mCellSize from the origin, mColumns x mRows of them (shapes beyond
    // go to the border cells), each a run of slots in mSlots with room to spare, holding the shapes still to come
    // (from mNext on) by their centres. Shapes of a radius above half a cell stay out of it, in mLarge.
    double mOriginX = 0.0;
    double mOriginY = 0.0;
    double mCellSize = 1.0;
    double mCellsPerUnit = 1.0;
    double mMargin = 0.0; // how much farther than touching a gathered shape may stand
    std::size_t mColumns = 1;
    std::size_t mRows = 1;
    std::size_t mNext = 0;
    std::vector<std::size_t> mCellStart; // per cell where its slots begin, and one past the last cell
    std::vector<std::size_t> mCellCount; // per cell its slots in use
    std::vector<Slot> mSlots;
    std::vector<std::ptrdiff_t> mSlotOf; // per shape, its slot, or -1 while it is not in the grid
    std::vector<std::size_t> mCellOf;    // per shape in the grid, its cell
    std::vector<std::size_t> mLarge;     // the large shapes, ascending
    std::vector<double> mRadii;          // scratch for choosing the cell size
    // The shapes that row's shape may meet (the first mCandidateCount), ascending, gathered where it stood then.
    std::vector<std::size_t> mCandidates;
    std::size_t mCandidateCount = 0;
    double mGatheredX = 0.0;
    double mGatheredY = 0.0;
};
