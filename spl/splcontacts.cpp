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

// Groups of at least this many shapes are searched through a grid; smaller ones are swept in y.
constexpr std::size_t GRID_GROUP = 48;
// How many cells further on a full cell of the grid looks for a slot to spare before the grid is laid out again.
constexpr std::size_t BORROW_REACH = 16;
// The largest shapes that may stay out of the grid's choice of cell size, such as the shield.
constexpr std::size_t LARGE_SHAPES = 8;

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
    if (count >= GRID_GROUP && plain && layGrid(farthest))
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
// again. Each row's shape leaves the grid as its row begins; a pushed shape follows to its new cell at once.
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
        mNext = i + 1;
        if (mSlotOf[i] >= 0)
            lift(i);
        gather(i, i);
        for (std::size_t c = 0; c < mCandidateCount; ++c)
        {
            const std::size_t j = mCandidates[c];
            if (!mayTouch(mCache[i], mCache[j]))
                continue;
            collideShapes(*group[i], *group[j], collisions, overlaps);
            refresh(i);
            refresh(j);
            if (mSlotOf[j] >= 0)
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

// Cells twice the largest radius but for a few outliers among the largest shapes, so that a shape of at most half a
// cell meets only shapes whose centres lie in the cells its own reach covers; never more cells than about three per
// shape. False when the coordinates are so large against the cells that their rounding could eat the margin.
bool SPLNarrowPhase::layGrid(double farthest)
{
    const std::size_t count = mCache.size();
    mRadii.resize(count);
    double xmin = mCache[0].x, xmax = xmin, ymin = mCache[0].y, ymax = ymin;
    for (std::size_t k = 0; k < count; ++k)
    {
        mRadii[k] = mCache[k].radius;
        xmin = std::min(xmin, mCache[k].x);
        xmax = std::max(xmax, mCache[k].x);
        ymin = std::min(ymin, mCache[k].y);
        ymax = std::max(ymax, mCache[k].y);
    }
    const std::size_t cut = count - 1 - std::min(LARGE_SHAPES, count - 1);
    std::nth_element(mRadii.begin(), mRadii.begin() + static_cast<std::ptrdiff_t>(cut), mRadii.end());
    // Of the few largest, those within twice the cut still set the cell size; only outliers like the shield stay out.
    double half = mRadii[cut];
    for (std::size_t k = cut + 1; k < count; ++k)
    {
        if (mRadii[k] <= 2.0 * mRadii[cut])
            half = std::max(half, mRadii[k]);
    }
    const double width = xmax - xmin;
    const double height = ymax - ymin;
    const double shapes = static_cast<double>(count);
    mCellSize = std::max({2.0 * half, std::sqrt(width * height / shapes), std::max(width, height) / shapes});
    if (!(mCellSize > 0.0))
        mCellSize = 1.0;
    if (!(farthest <= 0x1p32 * mCellSize))
        return false;
    mCellsPerUnit = 1.0 / mCellSize;
    mMargin = 0.125 * mCellSize;
    mOriginX = xmin;
    mOriginY = ymin;
    mColumns = static_cast<std::size_t>(std::min(width * mCellsPerUnit, shapes)) + 1;
    mRows = static_cast<std::size_t>(std::min(height * mCellsPerUnit, shapes)) + 1;
    mLarge.clear();
    for (std::size_t k = 0; k < count; ++k)
    {
        if (isLarge(k))
            mLarge.push_back(k);
    }
    mNext = 0;
    fill();
    return true;
}

// Lays the slots out afresh for the shapes still to come as they stand now, each cell with room for a quarter
// more than it holds and every fourth cell one slot more; a cell that fills up borrows from those after it.
void SPLNarrowPhase::fill()
{
    const std::size_t count = mCache.size();
    const std::size_t cells = mColumns * mRows;
    mCellCount.assign(cells, 0);
    mCellOf.resize(count);
    mSlotOf.assign(count, -1);
    for (std::size_t k = mNext; k < count; ++k)
    {
        if (!isLarge(k))
        {
            mCellOf[k] = cellOf(mCache[k]);
            ++mCellCount[mCellOf[k]];
        }
    }
    mCellStart.resize(cells + 1);
    std::size_t start = 0;
    for (std::size_t c = 0; c < cells; ++c)
    {
        mCellStart[c] = start;
        start += mCellCount[c] + mCellCount[c] / 4 + (c % 4 == 0 ? 1 : 0);
        mCellCount[c] = 0;
    }
    mCellStart[cells] = start;
    mSlots.assign(start, Slot{0.0, 0.0, 0.0, 0});
    mCandidates.resize(start + mLarge.size());
    for (std::size_t k = mNext; k < count; ++k)
    {
        if (!isLarge(k))
            place(k);
    }
}

// Monotonic in the coordinate, so a range of coordinates maps onto the range of cells between its ends.
std::size_t SPLNarrowPhase::column(double x) const
{
    const double t = (x - mOriginX) * mCellsPerUnit;
    return t >= 0.0 ? static_cast<std::size_t>(std::min(t, mColumns - 1.0)) : 0;
}

std::size_t SPLNarrowPhase::row(double y) const
{
    const double t = (y - mOriginY) * mCellsPerUnit;
    return t >= 0.0 ? static_cast<std::size_t>(std::min(t, mRows - 1.0)) : 0;
}

std::size_t SPLNarrowPhase::cellOf(const Cached& shape) const
{
    return row(shape.y) * mColumns + column(shape.x);
}

// A small shape that may meet shape k within the margin has its centre closer on each axis than k's radius, half
// a cell and the margin; the slack covers the rounding of the cell arithmetic.
void SPLNarrowPhase::gather(std::size_t k, std::size_t after)
{
    const Cached& shape = mCache[k];
    const bool large = isLarge(k);
    const double extent = (shape.radius + 0.5 * mCellSize + mMargin) * (1.0 + 1e-9);
    // The cells of a row are one run of slots, read straight through: empty slots name shape 0, which no row
    // after the first one gathers, and the tests are written without branches, since their outcomes follow no
    // pattern.
    const std::size_t firstColumn = column(shape.x - extent);
    const std::size_t lastColumn = column(shape.x + extent);
    const std::size_t lastRow = row(shape.y + extent);
    std::size_t* candidates = mCandidates.data();
    std::size_t found = 0;
    for (std::size_t r = row(shape.y - extent); r <= lastRow; ++r)
    {
        const Slot* slot = mSlots.data() + mCellStart[r * mColumns + firstColumn];
        const std::size_t lastCell = r * mColumns + lastColumn;
        const Slot* end = mSlots.data() + mCellStart[lastCell] + mCellCount[lastCell];
        for (; slot != end; ++slot)
        {
            const double dx = slot->x - shape.x;
            const double dy = slot->y - shape.y;
            const double reach = shape.radius + slot->radius + mMargin;
            candidates[found] = slot->shape;
            found += static_cast<std::size_t>((slot->shape > after) & (large | (dx * dx + dy * dy < reach * reach)));
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

// A full cell lays the grid out again rather than overflow into its neighbour.
void SPLNarrowPhase::place(std::size_t k)
{
    const std::size_t cell = cellOf(mCache[k]);
    const std::size_t slot = mCellStart[cell] + mCellCount[cell];
    if (slot == mCellStart[cell + 1] && !borrow(cell))
    {
        fill();
        return;
    }
    ++mCellCount[cell];
    mSlots[slot] = {mCache[k].x, mCache[k].y, mCache[k].radius, k};
    mSlotOf[k] = static_cast<std::ptrdiff_t>(slot);
    mCellOf[k] = cell;
}

// Moves the start of each cell after the full one up by a slot, as far as the first cell with one to spare, so
// that the full cell gains that slot; false when none lies near enough.
bool SPLNarrowPhase::borrow(std::size_t cell)
{
    const std::size_t cells = mCellCount.size();
    std::size_t spare = cell + 1;
    while (spare < cells && spare <= cell + BORROW_REACH &&
           mCellStart[spare] + mCellCount[spare] == mCellStart[spare + 1])
        ++spare;
    if (spare == cells || spare > cell + BORROW_REACH)
        return false;
    for (std::size_t c = spare; c > cell; --c)
    {
        // The cell's first slot moves to its first free one; the order within a cell does not matter.
        const std::size_t first = mCellStart[c];
        if (mCellCount[c] > 0)
        {
            const std::size_t free = first + mCellCount[c];
            mSlots[free] = mSlots[first];
            mSlotOf[mSlots[free].shape] = static_cast<std::ptrdiff_t>(free);
        }
        mSlots[first].shape = 0;
        ++mCellStart[c];
    }
    return true;
}

void SPLNarrowPhase::lift(std::size_t k)
{
    const std::size_t cell = mCellOf[k];
    const std::size_t last = mCellStart[cell] + --mCellCount[cell];
    const auto slot = static_cast<std::size_t>(mSlotOf[k]);
    if (slot != last)
    {
        mSlots[slot] = mSlots[last];
        mSlotOf[mSlots[slot].shape] = static_cast<std::ptrdiff_t>(slot);
    }
    mSlots[last].shape = 0;
    mSlotOf[k] = -1;
}

void SPLNarrowPhase::follow(std::size_t k)
{
    if (cellOf(mCache[k]) == mCellOf[k])
    {
        Slot& slot = mSlots[static_cast<std::size_t>(mSlotOf[k])];
        slot.x = mCache[k].x;
        slot.y = mCache[k].y;
        return;
    }
    lift(k);
    place(k);
}
