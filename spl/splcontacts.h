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
/// comes, are passed over without a call; they would do nothing there. A group that stands in ascending order of
/// its lower y edges, as the broad phase leaves it, is swept in y: a big one of finite shapes without negative
/// radii in narrow strips of x, a small one whole; a group that does not gets every pair tested.
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
    // A shape of a strip: its lower y edge when the group was read, which orders the strip, and where it stands.
    struct Strip
    {
        std::size_t cursor; // its first member after the row's shape
        std::size_t end;    // one past its last member
        double drop;        // the farthest a member has been pushed below its low
    };
    struct Member
    {
        double low;
        double x;
        double y;
        double radius;
        std::size_t shape;
    };

    void sweep(std::span<SPLShape* const> group, bool ordered, std::vector<SPLShapePair>& collisions,
               std::vector<SPLShapePair>& overlaps);
    void search(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                std::vector<SPLShapePair>& overlaps);
    bool layStrips(double farthest);
    std::size_t stripOf(double x) const;
    void gather(std::size_t k, std::size_t after);
    void follow(std::size_t k);

    std::vector<Cached> mCache;
    // The strips of the search: columns 1 / mStripsPerUnit wide from mOriginX, mStripCount of them (shapes beyond go to
    // the border strips), each a run of mMembers in the group's order, holding the shapes of a radius up to
    // mSmallRadius by where their centres stood when the group was read. The few larger ones are in mLarge.
    double mOriginX = 0.0;
    double mStripsPerUnit = 1.0;
    double mSmallRadius = 0.0;
    double mMargin = 0.0; // how much farther than touching a gathered shape may stand
    double mSpread = 0.0; // the farthest any member has been pushed along x since the group was read
    std::size_t mStripCount = 1;
    std::vector<Member> mMembers; // and SCAN_BLOCK - 1 spare ones past the last strip, read but never counted
    std::vector<Strip> mStrips;
    std::vector<std::size_t> mStripStart; // scratch for sorting the members by strip
    std::vector<std::size_t> mStripOf;    // per shape its strip, or mStripCount for a large one
    std::vector<std::size_t> mMemberOf;   // per shape in a strip, its member
    std::vector<double> mStartX;          // per shape, x when the group was read
    std::vector<std::size_t> mLarge;      // the large shapes, ascending
    std::vector<double> mRadii;           // scratch for choosing the strip width
    // The shapes that row's shape may meet (the first mCandidateCount), ascending, gathered where it stood then.
    std::vector<std::size_t> mCandidates;
    std::size_t mCandidateCount = 0;
    double mGatheredX = 0.0;
    double mGatheredY = 0.0;
};
