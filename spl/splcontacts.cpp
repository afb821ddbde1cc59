#include "spl/splcontacts.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

// A squared distance at or above rsum^2 * (1 + slack) can never pass the exact test sqrt(d.d) < rsum, whatever
// the rounding; the slack is far above double rounding error and far below any contact that matters.
constexpr double PREFILTER_SLACK = 1.0 + 1e-9;

// Groups of at least this many shapes are swept strip by strip; smaller ones whole.
constexpr std::size_t STRIP_GROUP = 48;
// The width of a strip in the largest radius of its members: about as wide as the partners of a row's shape
// spread, so that a row reads two or three strips.
constexpr double STRIP_WIDTH = 2.0;
// The largest shapes that may stay out of the choice of the strip width, such as the shield.
constexpr std::size_t LARGE_SHAPES = 8;
// How many members of a strip a row tests at a time, without a branch between them.
constexpr std::size_t SCAN_BLOCK = 2;

template <typename Cached>
bool mayTouch(const Cached& a, const Cached& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double rsum = a.radius + b.radius;
    return dx * dx + dy * dy < rsum * rsum * PREFILTER_SLACK;
}

// Perfectly elastic along d, with the velocities across d unchanged; no test whether the two approach.
template <typename Shape>
void bounce(Shape& a, Shape& b, const SPLVector& d)
{
    const SPLVector va = d.project(a.velocity());
    const SPLVector vb = d.project(b.velocity());
    const double ma = a.mass();
    const double mb = b.mass();
    const SPLVector centre = (va * ma + vb * mb) / (ma + mb);
    const SPLVector va2 = centre * 2.0 - va;
    const SPLVector vb2 = centre * 2.0 - vb;
    a.setVelocity(a.velocity() + (va2 - va));
    b.setVelocity(b.velocity() + (vb2 - vb));
}

template <typename Shape>
void collidePair(Shape& first, Shape& second, std::vector<SPLShapePair>& collisions,
                 std::vector<SPLShapePair>& overlaps)
{
    if (first.kind() != SPLShapeKind::SPHERE || second.kind() != SPLShapeKind::SPHERE)
        DBG_ERROR("Unknown Shape.");

    SPLVector d = first.position().to(second.position());
    const double dist = d.length();
    const double rsum = first.radius() + second.radius();
    if (!(dist < rsum))
        return;
    if (first.solid() != 1 || second.solid() != 1)
    {
        overlaps.emplace_back(&first, &second);
        return;
    }
    // Coincident centres have no line between them: part and bounce the pair along +x (the first to the left,
    // the second to the right) instead of dividing by the zero distance into NaN positions and velocities.
    if (dist == 0.0)
        d = SPLVector(1.0, 0.0);
    const SPLVector u = dist == 0.0 ? d : d / dist;
    const double h = (rsum - dist) * 0.5;
    first.setPosition(first.position() - scaled(h, u));
    second.setPosition(second.position() + scaled(h, u));
    bounce(first, second, d);
    collisions.emplace_back(&first, &second);
}

} // namespace

SPLShapePair::SPLShapePair(SPLShape* first, SPLShape* second) : mFirst(first), mSecond(second)
{
    mFirst->addUse();
    mSecond->addUse();
}

SPLShapePair::SPLShapePair(const SPLShapePair& other) : SPLShapePair(other.mFirst, other.mSecond)
{
}

// A move hands the two uses over; the emptied pair releases nothing.
SPLShapePair::SPLShapePair(SPLShapePair&& other) noexcept : mFirst(other.mFirst), mSecond(other.mSecond)
{
    other.mFirst = nullptr;
    other.mSecond = nullptr;
}

SPLShapePair& SPLShapePair::operator=(const SPLShapePair& other)
{
    // Take the new uses before dropping the old ones, so assigning a pair to itself keeps its count.
    other.mFirst->addUse();
    other.mSecond->addUse();
    release();
    mFirst = other.mFirst;
    mSecond = other.mSecond;
    return *this;
}

SPLShapePair::~SPLShapePair()
{
    release();
}

void SPLShapePair::release()
{
    if (mFirst)
        mFirst->releaseUse();
    if (mSecond)
        mSecond->releaseUse();
}

void collideShapes(SPLShape& first, SPLShape& second, std::vector<SPLShapePair>& collisions,
                   std::vector<SPLShapePair>& overlaps)
{
    if (typeid(first) == typeid(SPLSphere) && typeid(second) == typeid(SPLSphere))
        collidePair(static_cast<SPLSphere&>(first), static_cast<SPLSphere&>(second), collisions, overlaps);
    else
        collidePair<SPLShape>(first, second, collisions, overlaps);
}

void SPLNarrowPhase::collide(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                             std::vector<SPLShapePair>& overlaps)
{
    // Positions and radii are read once per shape rather than once per pair; a contact moves its two shapes, so
    // their entries are read again at once.
    const std::size_t count = group.size();
    mCache.resize(count);
    bool ordered = true;
    bool plain = true; // finite, not negative
    double farthest = 0.0;
    for (std::size_t k = 0; k < count; ++k)
    {
        const auto [position, radius] =
            visitShape(*group[k], [](auto& shape) { return std::pair(shape.position(), shape.radius()); });
        mCache[k] = {position.x(), position.y(), radius, position.y() - radius};
        if (k > 0 && !(mCache[k].low >= mCache[k - 1].low))
            ordered = false;
        plain = plain && std::isfinite(position.x()) && std::isfinite(position.y()) && std::isfinite(radius) &&
                radius >= 0.0;
        farthest = std::max({farthest, std::fabs(position.x()), std::fabs(position.y())});
    }
    if (count >= STRIP_GROUP && ordered && plain && layStrips(farthest))
        search(group, collisions, overlaps);
    else
        sweep(group, ordered, collisions, overlaps);
}

void SPLNarrowPhase::sweep(std::span<SPLShape* const> group, bool ordered, std::vector<SPLShapePair>& collisions,
                           std::vector<SPLShapePair>& overlaps)
{
    // The farthest any shape has been pushed below its place in the order (drop) widens the band of y in which a
    // later shape may still reach a row's shape.
    const std::size_t count = group.size();
    double drop = 0.0;
    const auto refresh = [&](Cached& entry, SPLShape& shape)
    {
        const SPLVector position = visitShape(shape, [](auto& concrete) { return concrete.position(); });
        entry.x = position.x();
        entry.y = position.y();
        drop = std::max(drop, entry.low - (entry.y - entry.radius));
    };
    for (std::size_t i = 0; i < count; ++i)
    {
        for (std::size_t j = i + 1; j < count; ++j)
        {
            const Cached& a = mCache[i];
            const Cached& b = mCache[j];
            // Every shape from j on lies wholly above a's top: |dy| exceeds the sum of the radii, so no pair of a
            // with them can pass the exact test; the margin dwarfs the rounding of the two sides.
            const double top = a.y + a.radius;
            if (ordered && b.low - drop > top + 1e-9 * (1.0 + std::fabs(top)))
                break;
            if (mayTouch(a, b))
            {
                collideShapes(*group[i], *group[j], collisions, overlaps);
                refresh(mCache[i], *group[i]);
                refresh(mCache[j], *group[j]);
            }
        }
    }
}

// Row i meets the shapes after it that, as they stand when the row gathers them, lie less than the margin farther
// away than touching, and every large shape after it, in ascending order. Only row i's own shape and its partners
// move during the row, and the partners are behind it then, so the gathered list stays complete until the row's
// shape has been pushed half the margin away from where it was gathered; then the rest of the row is gathered
// again.
void SPLNarrowPhase::search(std::span<SPLShape* const> group, std::vector<SPLShapePair>& collisions,
                            std::vector<SPLShapePair>& overlaps)
{
    const auto refresh = [&](std::size_t k)
    {
        const SPLVector position = visitShape(*group[k], [](auto& shape) { return shape.position(); });
        mCache[k].x = position.x();
        mCache[k].y = position.y();
    };
    const double limit = 0.25 * mMargin * mMargin;
    for (std::size_t i = 0; i < group.size(); ++i)
    {
        // The strip's members up to the row's own are behind; the members of a strip stand in the group's order.
        if (mStripOf[i] != mStripCount)
            mStrips[mStripOf[i]].cursor = mMemberOf[i] + 1;
        gather(i, i);
        for (std::size_t c = 0; c < mCandidateCount; ++c)
        {
            const std::size_t j = mCandidates[c];
            if (!mayTouch(mCache[i], mCache[j]))
                continue;
            collideShapes(*group[i], *group[j], collisions, overlaps);
            refresh(i);
            refresh(j);
            follow(j);
            const double dx = mCache[i].x - mGatheredX;
            const double dy = mCache[i].y - mGatheredY;
            if (dx * dx + dy * dy >= limit)
            {
                gather(i, j);
                c = static_cast<std::size_t>(-1);
            }
        }
    }
}

// Strips as wide as the largest diameter but for a few outliers among the largest shapes, never more than one
// per shape. False when there is no extent to set a margin by, or when the coordinates are so large against the
// margin that their rounding could eat it.
bool SPLNarrowPhase::layStrips(double farthest)
{
    const std::size_t count = mCache.size();
    mRadii.resize(count);
    double xmin = mCache[0].x;
    double xmax = xmin;
    for (std::size_t k = 0; k < count; ++k)
    {
        mRadii[k] = mCache[k].radius;
        xmin = std::min(xmin, mCache[k].x);
        xmax = std::max(xmax, mCache[k].x);
    }
    const std::size_t cut = count - 1 - std::min(LARGE_SHAPES, count - 1);
    std::nth_element(mRadii.begin(), mRadii.begin() + static_cast<std::ptrdiff_t>(cut), mRadii.end());
    // Of the few largest, those within twice the cut still set the width; only outliers like the shield stay out.
    double small = mRadii[cut];
    for (std::size_t k = cut + 1; k < count; ++k)
    {
        if (mRadii[k] <= 2.0 * mRadii[cut])
            small = std::max(small, mRadii[k]);
    }
    mSmallRadius = small;
    mMargin = 0.25 * small;
    if (!(mMargin > 0.0) || !(farthest <= 0x1p32 * mMargin))
        return false;
    const double width = xmax - xmin;
    const double shapes = static_cast<double>(count);
    mStripsPerUnit = 1.0 / std::max(STRIP_WIDTH * small, width / shapes);
    mOriginX = xmin;
    mStripCount = static_cast<std::size_t>(std::min(width * mStripsPerUnit, shapes)) + 1;

    // Each strip's members in the group's order: a stable counting sort by strip.
    mStripStart.assign(mStripCount + 1, 0);
    mStripOf.resize(count);
    mMemberOf.resize(count);
    mStartX.resize(count);
    mLarge.clear();
    for (std::size_t k = 0; k < count; ++k)
    {
        mStartX[k] = mCache[k].x;
        if (mCache[k].radius > mSmallRadius)
        {
            mStripOf[k] = mStripCount;
            mLarge.push_back(k);
            continue;
        }
        mStripOf[k] = stripOf(mCache[k].x);
        ++mStripStart[mStripOf[k] + 1];
    }
    for (std::size_t s = 0; s < mStripCount; ++s)
        mStripStart[s + 1] += mStripStart[s];
    mMembers.resize(mStripStart[mStripCount] + SCAN_BLOCK - 1);
    for (std::size_t k = 0; k < count; ++k)
    {
        if (mStripOf[k] == mStripCount)
            continue;
        mMemberOf[k] = mStripStart[mStripOf[k]]++;
        mMembers[mMemberOf[k]] = {mCache[k].low, mCache[k].x, mCache[k].y, mCache[k].radius, k};
    }
    // Each start has moved up to the next strip's.
    mStrips.resize(mStripCount);
    for (std::size_t s = 0; s < mStripCount; ++s)
        mStrips[s] = {s == 0 ? 0 : mStripStart[s - 1], mStripStart[s], 0.0};
    mSpread = 0.0;
    mCandidates.resize(count);
    return true;
}

// Monotonic in the coordinate, so a range of coordinates maps onto the range of strips between its ends.
std::size_t SPLNarrowPhase::stripOf(double x) const
{
    const double t = (x - mOriginX) * mStripsPerUnit;
    return t >= 0.0 ? static_cast<std::size_t>(std::min(t, mStripCount - 1.0)) : 0;
}

// A member that may meet shape k within the margin stood, when the group was read, closer along x than k's radius,
// the largest member radius, the margin and the spread; the slack covers the rounding of the strip arithmetic.
// Within a strip the members stand in ascending order of their lows, which the strip's drop bounds from below, so
// the first one whose low lies above k's reach ends the strip. In a dense field a row meets a member or two of each
// strip, and a loop that left the strip at the first one above the reach would mispredict its end about as often
// as not: the members are tested in blocks, each counted or not without a branch, those past the strip's end or
// above the reach not counted. Longer blocks waste more tests on the sparse fields, where a strip has none.
void SPLNarrowPhase::gather(std::size_t k, std::size_t after)
{
    const Cached& shape = mCache[k];
    const double extent = (shape.radius + mSmallRadius + mMargin) * (1.0 + 1e-9) + mSpread;
    const double top = shape.y + shape.radius + mMargin;
    const double stop = top + 1e-9 * (1.0 + std::fabs(top));
    std::size_t* candidates = mCandidates.data();
    std::size_t found = 0;
    const std::size_t last = stripOf(shape.x + extent);
    for (std::size_t s = stripOf(shape.x - extent); s <= last; ++s)
    {
        const Strip& strip = mStrips[s];
        const std::size_t end = strip.end;
        std::size_t m = strip.cursor;
        while (m < end && mMembers[m].shape <= after)
            ++m;
        const double floor = stop + strip.drop;
        while (m < end && mMembers[m].low <= floor)
        {
            for (std::size_t t = 0; t < SCAN_BLOCK; ++t)
            {
                const Member& member = mMembers[m + t];
                const double dx = member.x - shape.x;
                const double dy = member.y - shape.y;
                const double reach = shape.radius + member.radius + mMargin;
                const bool counted = (m + t < end) & (member.low <= floor) & (dx * dx + dy * dy < reach * reach);
                candidates[found] = member.shape;
                found += static_cast<std::size_t>(counted);
            }
            m += SCAN_BLOCK;
        }
    }
    for (auto other = std::upper_bound(mLarge.begin(), mLarge.end(), after); other != mLarge.end(); ++other)
        candidates[found++] = *other;
    // Few enough for an insertion sort.
    for (std::size_t c = 1; c < found; ++c)
    {
        const std::size_t candidate = candidates[c];
        std::size_t d = c;
        for (; d > 0 && candidates[d - 1] > candidate; --d)
            candidates[d] = candidates[d - 1];
        candidates[d] = candidate;
    }
    mCandidateCount = found;
    mGatheredX = shape.x;
    mGatheredY = shape.y;
}

// A pushed member keeps its strip; the strip's drop and the spread grow to cover where it went.
void SPLNarrowPhase::follow(std::size_t k)
{
    const std::size_t strip = mStripOf[k];
    if (strip == mStripCount)
        return;
    Member& member = mMembers[mMemberOf[k]];
    member.x = mCache[k].x;
    member.y = mCache[k].y;
    mStrips[strip].drop = std::max(mStrips[strip].drop, member.low - (member.y - member.radius));
    mSpread = std::max(mSpread, std::fabs(member.x - mStartX[k]));
}
