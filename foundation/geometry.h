#pragma once
// Integer points and rectangles shared by the window and its message handlers. Plain values.

#include <cstdint>

class EGCPoint
{
public:
    constexpr EGCPoint(std::int32_t x, std::int32_t y) : mX(x), mY(y) {}

    /// Stores x and returns it.
    constexpr std::int32_t setX(std::int32_t x) { return mX = x; }
    /// Stores y and returns it.
    constexpr std::int32_t setY(std::int32_t y) { return mY = y; }
    /// Stores both coordinates.
    constexpr void set(std::int32_t x, std::int32_t y)
    {
        mX = x;
        mY = y;
    }

    constexpr std::int32_t x() const { return mX; }
    constexpr std::int32_t y() const { return mY; }
    /// Copies both coordinates into the given integers.
    constexpr void get(std::int32_t& x, std::int32_t& y) const
    {
        x = mX;
        y = mY;
    }

private:
    std::int32_t mX;
    std::int32_t mY;
};

/// A rectangle of whole pixels: (x, y) is its top-left cell; right and bottom are its last column and row inside.
class EGCRectangle
{
public:
    constexpr EGCRectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
        : mX(x), mY(y), mWidth(width), mHeight(height)
    {
    }

    /// Each setter stores its values and returns the last one stored.
    constexpr std::int32_t setY(std::int32_t y) { return mY = y; }
    constexpr std::int32_t setWidth(std::int32_t width) { return mWidth = width; }
    constexpr std::int32_t setHeight(std::int32_t height) { return mHeight = height; }
    constexpr std::int32_t setPosition(std::int32_t x, std::int32_t y)
    {
        mX = x;
        return mY = y;
    }
    constexpr std::int32_t set(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
    {
        setPosition(x, y);
        mWidth = width;
        return mHeight = height;
    }

    constexpr std::int32_t x() const { return mX; }
    constexpr std::int32_t y() const { return mY; }
    constexpr std::int32_t width() const { return mWidth; }
    constexpr std::int32_t height() const { return mHeight; }
    /// The last column inside the rectangle: x + width - 1.
    constexpr std::int32_t right() const { return mX + mWidth - 1; }
    /// The last row inside the rectangle: y + height - 1.
    constexpr std::int32_t bottom() const { return mY + mHeight - 1; }

    /// Copies (x, y) into the given integers.
    constexpr void getPosition(std::int32_t& x, std::int32_t& y) const
    {
        x = mX;
        y = mY;
    }
    /// Copies (width, height) into the given integers.
    constexpr void getSize(std::int32_t& width, std::int32_t& height) const
    {
        width = mWidth;
        height = mHeight;
    }
    /// Copies all four fields into the given integers.
    constexpr void get(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height) const
    {
        getPosition(x, y);
        getSize(width, height);
    }

    /// True when neither width nor height is negative; an empty rectangle is valid.
    constexpr bool isValid() const { return mWidth >= 0 && mHeight >= 0; }

private:
    std::int32_t mX;
    std::int32_t mY;
    std::int32_t mWidth;
    std::int32_t mHeight;
};
