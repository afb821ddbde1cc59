#pragma once
// The value types of the physics library: a vector of two doubles, an axis-aligned box, a cubic polynomial,
// the vortex force field built on it, and the box-edge record the broad phase sorts.
//
// Depends on foundation/dbg.h only. All arithmetic is in double precision; nothing here is virtual.

#include <cmath>
#include <utility>

class SPLShape;

class SPLVector
{
public:
    /// The zero vector.
    SPLVector() = default;
    SPLVector(double x, double y) : mX(x), mY(y) {}
    SPLVector(const SPLVector&) = default;
    SPLVector& operator=(const SPLVector&) = default;

    /// sqrt(x*x + y*y).
    double length() const { return std::sqrt(squaredLength()); }
    /// x*x + y*y.
    double squaredLength() const { return mX * mX + mY * mY; }
    /// This vector divided by its length; the zero vector has no direction and stays the zero vector.
    SPLVector normalized() const;
    SPLVector operator+(const SPLVector& other) const { return {mX + other.mX, mY + other.mY}; }
    /// This minus the other.
    SPLVector operator-(const SPLVector& other) const { return {mX - other.mX, mY - other.mY}; }
    SPLVector negated() const { return {-mX, -mY}; }
    /// x1*x2 + y1*y2.
    double dot(const SPLVector& other) const { return mX * other.mX + mY * other.mY; }
    /// (x*s, y*s).
    SPLVector operator*(double s) const { return {mX * s, mY * s}; }
    /// (x/s, y/s).
    SPLVector operator/(double s) const { return {mX / s, mY / s}; }
    /// The projection of v onto this vector's direction: (v.dot(this) / this.dot(this)) * this.
    SPLVector project(const SPLVector& v) const { return *this * (v.dot(*this) / dot(*this)); }
    /// Turned counter-clockwise by the angle in radians.
    SPLVector rotated(double angle) const;
    /// The vector from this point to the other point: other - this.
    SPLVector to(const SPLVector& other) const { return other - *this; }
    double x() const { return mX; }
    double y() const { return mY; }

private:
    double mX = 0.0;
    double mY = 0.0;
};

/// (x*s, y*s), the scalar written first.
inline SPLVector scaled(double s, const SPLVector& v)
{
    return v * s;
}

/// An axis-aligned box. A minimum greater than its maximum on both axes marks the box empty.
class SPLBox
{
public:
    /// The empty box (1, -1, 1, -1).
    SPLBox() = default;
    SPLBox(double xmin, double xmax, double ymin, double ymax) : mXMin(xmin), mXMax(xmax), mYMin(ymin), mYMax(ymax) {}

    /// The region of the point, 0..8 row by row from the top left, 4 inside; a point on a side counts as outside.
    int pointClass(const SPLVector& point) const;
    /// Corner 1 (xmin, ymax), 2 (xmax, ymax), 3 (xmin, ymin), 4 (xmax, ymin); another number throws "Unknown corner.".
    SPLVector corner(int corner) const;
    /// Per axis the overlap of the two intervals, or (0, 0) on an axis where they do not overlap.
    SPLBox intersection(const SPLBox& other) const;
    double xmin() const { return mXMin; }
    double xmax() const { return mXMax; }
    double ymin() const { return mYMin; }
    double ymax() const { return mYMax; }

private:
    double mXMin = 1.0;
    double mXMax = -1.0;
    double mYMin = 1.0;
    double mYMax = -1.0;
};

/// c0 + c1 t + c2 t^2 + c3 t^3.
class SPLPolynomial
{
public:
    /// The zero polynomial.
    SPLPolynomial() = default;
    SPLPolynomial(double c0, double c1, double c2, double c3) : mC0(c0), mC1(c1), mC2(c2), mC3(c3) {}

    /// The value at t.
    double value(double t) const;
    /// The force on a from b: -value(|b - a|) along the unit vector from a to b (positive values push a away).
    /// Coincident points have no direction between them and give the zero vector.
    SPLVector pairForce(const SPLVector& a, const SPLVector& b) const;

private:
    double mC0 = 0.0;
    double mC1 = 0.0;
    double mC2 = 0.0;
    double mC3 = 0.0;
};

/// A force field around a centre whose strengths are polynomials in the inverse distance k = 1/r,
/// acting only at distances rmin <= r <= rmax.
class SPLVortex
{
public:
    SPLVortex(const SPLVector& centre, const SPLPolynomial& radial, const SPLPolynomial& tangential, double rmin,
              double rmax);
    SPLVortex(const SPLVortex&) = default;
    SPLVortex& operator=(const SPLVortex&) = default;
    /// Marks the vortex destroyed: rmin and rmax become -1.
    ~SPLVortex();

    /// Replaces the radial polynomial.
    void setRadial(const SPLPolynomial& radial);
    /// radial(1/r) along the unit vector from the centre to p (outwards when positive), or zero outside the range.
    SPLVector radialForce(const SPLVector& p) const;
    /// tangential(1/r) along the unit vector from the centre turned by +pi/2 (counter-clockwise when positive),
    /// or zero outside the range.
    SPLVector tangentialForce(const SPLVector& p) const;
    /// radialForce(p) and tangentialForce(p), bit for bit, from one distance.
    std::pair<SPLVector, SPLVector> forces(const SPLVector& p) const;
    /// A new copy, owned by the caller (delete it).
    SPLVortex* clone() const;

private:
    SPLVector mCentre;
    SPLPolynomial mRadial;
    SPLPolynomial mTangential;
    double mRMin;
    double mRMax;
};

/// The values of SPLEdge::type.
struct SPLEdgeType
{
    static constexpr int UNSET = 1; ///< before the owner's first bounds update
    static constexpr int LOWER = 2;
    static constexpr int UPPER = 3;
};

/// One side of a shape's box, as the broad phase sorts and sweeps it.
struct SPLEdge
{
    int type = SPLEdgeType::UNSET;
    SPLShape* owner = nullptr;
    double coordinate = 0.0;
};
