#include "spl/splvector.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace
{

// The rotation that turns a radial direction into the counter-clockwise tangential one, with its cosine and sine
// worked out once: the very values rotated(QUARTER_TURN) would compute on every call.
constexpr double QUARTER_TURN = 1.5707963267948966;
const double QUARTER_COS = std::cos(QUARTER_TURN);
const double QUARTER_SIN = std::sin(QUARTER_TURN);

SPLVector turned(const SPLVector& v, double c, double s)
{
    return {v.x() * c - v.y() * s, v.x() * s + v.y() * c};
}

int intervalClass(double value, double min, double max)
{
    if (value <= min)
        return 0;
    if (value >= max)
        return 2;
    return 1;
}

// Outside [rmin, rmax], and at the centre itself, where no direction exists, the field exerts nothing.
bool inRange(double r, double rmin, double rmax)
{
    return r > 0.0 && rmin <= r && r <= rmax;
}

} // namespace

SPLVector SPLVector::normalized() const
{
    const double l = length();
    if (l == 0.0)
        return {};
    return *this / l;
}

SPLVector SPLVector::rotated(double angle) const
{
    return turned(*this, std::cos(angle), std::sin(angle));
}

int SPLBox::pointClass(const SPLVector& point) const
{
    const int xclass = intervalClass(point.x(), mXMin, mXMax);
    const int yclass = intervalClass(point.y(), mYMin, mYMax);
    return (2 - yclass) * 3 + xclass;
}

SPLVector SPLBox::corner(int corner) const
{
    switch (corner)
    {
    case 1:
        return {mXMin, mYMax};
    case 2:
        return {mXMax, mYMax};
    case 3:
        return {mXMin, mYMin};
    case 4:
        return {mXMax, mYMin};
    default:
        DBG_ERROR("Unknown corner.");
    }
}

SPLBox SPLBox::intersection(const SPLBox& other) const
{
    double xmin = std::max(mXMin, other.mXMin);
    double xmax = std::min(mXMax, other.mXMax);
    if (xmin > xmax)
        xmin = xmax = 0.0;
    double ymin = std::max(mYMin, other.mYMin);
    double ymax = std::min(mYMax, other.mYMax);
    if (ymin > ymax)
        ymin = ymax = 0.0;
    return {xmin, xmax, ymin, ymax};
}

double SPLPolynomial::value(double t) const
{
    return mC0 + mC1 * t + mC2 * t * t + mC3 * t * t * t;
}

SPLVector SPLPolynomial::pairForce(const SPLVector& a, const SPLVector& b) const
{
    const SPLVector d = a.to(b);
    const double r = d.length();
    if (r == 0.0)
        return {};
    return (d / r) * -value(r);
}

SPLVortex::SPLVortex(const SPLVector& centre, const SPLPolynomial& radial, const SPLPolynomial& tangential, double rmin,
                     double rmax)
    : mCentre(centre), mRadial(radial), mTangential(tangential), mRMin(rmin), mRMax(rmax)
{
}

SPLVortex::~SPLVortex()
{
    mRMin = -1.0;
    mRMax = -1.0;
}

void SPLVortex::setRadial(const SPLPolynomial& radial)
{
    mRadial = radial;
}

SPLVector SPLVortex::radialForce(const SPLVector& p) const
{
    return forces(p).first;
}

SPLVector SPLVortex::tangentialForce(const SPLVector& p) const
{
    return forces(p).second;
}

std::pair<SPLVector, SPLVector> SPLVortex::forces(const SPLVector& p) const
{
    const SPLVector d = mCentre.to(p);
    const double r = d.length();
    if (!inRange(r, mRMin, mRMax))
        return {};
    const SPLVector unit = d / r;
    const double k = 1.0 / r;
    return {unit * mRadial.value(k), turned(unit, QUARTER_COS, QUARTER_SIN) * mTangential.value(k)};
}

SPLVortex* SPLVortex::clone() const
{
    SPLVortex* vortex = new (std::nothrow) SPLVortex(*this);
    DBG_ASSERT("Vortex created successfully." && vortex);
    return vortex;
}
