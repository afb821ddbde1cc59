#pragma once
// A texture that only holds its image: enough for a font to measure its glyphs away from any display device,
// as the previews and the tests do.

#include "egl/egl.h"

#include <cstdint>

namespace datagen
{

class ImageTexture final : public EGLTexture
{
public:
    explicit ImageTexture(const EGLImage& image) : mImage(image) {}

    void setImage(const EGLImage& image) override { mImage = image; }
    EGLVector address(std::int32_t column, std::int32_t row) const override
    {
        return {columnAddress(column), rowAddress(row)};
    }
    const EGLImage& image() const override { return mImage; }
    float columnAddress(std::int32_t column) const override
    {
        return (static_cast<float>(column) + 0.5f) / static_cast<float>(mImage.columnCount());
    }
    float rowAddress(std::int32_t row) const override
    {
        return (static_cast<float>(row) + 0.5f) / static_cast<float>(mImage.rowCount());
    }

private:
    EGLImage mImage;
};

} // namespace datagen
