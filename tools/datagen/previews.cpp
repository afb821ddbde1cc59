// quillom_previews DATA_DIRECTORY PREVIEW_DIRECTORY
// Reads every picture the game loads (with the game's own reader) and writes one PNG contact sheet per picture:
// its frames side by side, enlarged when small, over the background the game shows them on (a checkerboard
// under alpha-blended pictures, the intro's dark blue under additive ones), stretched to the shape of the quad
// they are drawn on. The font's sheet adds lines of text laid out with the game's own glyph widths.

#include "tools/datagen/imagetexture.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/png.h"

#include "egl/egltext.h"
#include "egl/egltypes.h"
#include "foundation/dbg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using datagen::Blending;
using datagen::Canvas;
using datagen::Color;

constexpr int MARGIN = 8;
const Color SHEET_BACKGROUND = datagen::argb(0xFF0C0C14);

/// The pixel as it appears on the screen at (x, y) of the sheet.
Color shown(std::uint32_t pixel, Blending blending, int x, int y)
{
    const Color source = datagen::argb(pixel);
    switch (blending)
    {
    case Blending::none:
        return datagen::withAlpha(source, 1.0f);
    case Blending::alpha:
        return datagen::over(datagen::argb((x / 8 + y / 8) % 2 ? 0xFF202040 : 0xFF34346A), source);
    case Blending::additive:
    {
        const Color back = datagen::argb(0xFF303080);
        return {back.r + source.r * source.a, back.g + source.g * source.a, back.b + source.b * source.a, 1.0f};
    }
    }
    DBG_ERROR("Unknown blending.");
}

Canvas contactSheet(const EGLImage& image, const datagen::PictureRecord& record)
{
    const int frameWidth = image.columnCount() / record.frameColumns;
    const int frameHeight = image.rowCount() / record.frameRows;
    const int magnify = std::clamp(1024 / (image.columnCount() * record.drawnAspect), 1, 4);
    const int scaleX = magnify * record.drawnAspect;
    const int scaleY = magnify;
    const int gap = record.frameColumns > 1 ? MARGIN : 0;
    const int cellWidth = frameWidth * scaleX + gap;
    const int cellHeight = frameHeight * scaleY + gap;
    Canvas sheet(record.frameColumns * cellWidth - gap + 2 * MARGIN, record.frameRows * cellHeight - gap + 2 * MARGIN,
                 SHEET_BACKGROUND);
    for (int y = 0; y < image.rowCount() * scaleY; ++y)
        for (int x = 0; x < image.columnCount() * scaleX; ++x)
        {
            const int column = x / scaleX;
            const int row = y / scaleY;
            const int sheetX = MARGIN + (column / frameWidth) * cellWidth + x % (frameWidth * scaleX);
            const int sheetY = MARGIN + (row / frameHeight) * cellHeight + y % (frameHeight * scaleY);
            sheet.at(sheetX, sheetY) = shown(image.pixel(column, row), record.blending, x, y);
        }
    return sheet;
}

/// Lines of text drawn as the game lays out a label: each glyph's measured columns, 4 units apart, at `scale`
/// pixels per texel.
Canvas sampleText(const EGLImage& fontImage, const std::vector<std::string>& lines, int scale)
{
    datagen::ImageTexture texture(fontImage);
    EGLFont* font = createFont(&texture, EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    const int cell = fontImage.columnCount() / EGLFont::GLYPH_COLUMN_COUNT;
    const auto firstColumn = [&](const EGLGlyph& glyph)
    { return static_cast<int>(glyph.cornerAddress(1).x * static_cast<float>(fontImage.columnCount())); };
    int width = 0;
    for (const std::string& line : lines)
    {
        float lineWidth = 0.0f;
        for (char c : line)
            lineWidth += font->glyph(c).glyphWidth() + font->glyphSpaceX();
        width = std::max(width, static_cast<int>(lineWidth) * scale);
    }
    Canvas canvas(width + 2 * MARGIN, static_cast<int>(lines.size()) * cell * scale + 2 * MARGIN,
                  datagen::argb(0xFF202040));
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        float pen = 0.0f;
        for (char c : lines[i])
        {
            const EGLGlyph& glyph = font->glyph(c);
            const int left = firstColumn(glyph);
            const int top = (static_cast<unsigned char>(c) / EGLFont::GLYPH_COLUMN_COUNT) * cell;
            const int columns = static_cast<int>(glyph.glyphWidth() + 0.5f);
            for (int y = 0; y < cell * scale; ++y)
                for (int x = 0; x < columns * scale; ++x)
                {
                    Color& target = canvas.at(MARGIN + static_cast<int>(pen) * scale + x,
                                              MARGIN + static_cast<int>(i) * cell * scale + y);
                    target = datagen::over(target, datagen::argb(fontImage.pixel(left + x / scale, top + y / scale)));
                }
            pen += glyph.glyphWidth() + font->glyphSpaceX();
        }
    }
    destroyFont(font);
    return canvas;
}

/// The two canvases one above the other.
Canvas stacked(const Canvas& top, const Canvas& bottom)
{
    Canvas result(std::max(top.width(), bottom.width()), top.height() + bottom.height(), SHEET_BACKGROUND);
    result.place(top, 0, 0);
    result.place(bottom, 0, top.height());
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s DATA_DIRECTORY PREVIEW_DIRECTORY\n", argv[0]);
        return 2;
    }
    try
    {
        std::filesystem::create_directories(argv[2]);
        for (const datagen::PictureRecord& record : datagen::pictureRecords())
        {
            EGLImage image;
            readImageFile(std::string(argv[1]) + "/" + record.fileName, image);
            Canvas sheet = contactSheet(image, record);
            if (record.fileName == "font.egl")
                sheet = stacked(stacked(sheet, sampleText(image, {"Hall of fame", "1. Nova Quill 60000p."}, 2)),
                                sampleText(image,
                                           {"Congratulations! New highscore, please enter your name.",
                                            "The quick brown fox jumps over the lazy dog: 0123456789 (&%$#@?!)"},
                                           1));
            const std::string name = record.fileName.substr(0, record.fileName.find('.'));
            const std::string path = std::string(argv[2]) + "/" + name + ".png";
            if (!datagen::writePng(path, sheet.width(), sheet.height(), sheet.argbPixels()))
            {
                std::fprintf(stderr, "%s: could not write %s\n", argv[0], path.c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
        }
    }
    catch (const DBGException& exception)
    {
        std::fprintf(stderr, "%s: %s: %s (%s:%d)\n", argv[0], exception.kind(), exception.description(),
                     exception.file(), static_cast<int>(exception.line()));
        return 1;
    }
    return 0;
}
