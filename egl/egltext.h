#pragma once
// Bitmap fonts, their glyphs and one-line text labels. A font cuts a texture into 16 x 16 glyph cells, one per
// character code 0-255; a label lays its text out with a font into one textured quad per character and draws
// the whole line with one model.
//
// Depends on: egl/egl.h (everything is drawn through the library). Copying a font or a label throws the Error
// "Value semantics not implemented." (through EGLObject). There are no line breaks: every character, a line feed
// included, is drawn with its glyph on the one line.

#include "egl/egl.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

/// The quad of one character: its size in space units and the texture addresses of its edges.
class EGLGlyph
{
public:
    /// Width 1, height 1, leftU 0.5, rightU 0.6, topV 0.5, bottomV 0.6.
    EGLGlyph();
    EGLGlyph(float width, float height, float leftU, float rightU, float topV, float bottomV);
    EGLGlyph(const EGLGlyph& other) = default;
    EGLGlyph& operator=(const EGLGlyph& other) = default;
    /// Leaves width and height at -1.
    ~EGLGlyph();

    /// Space units.
    float glyphWidth() const;
    /// Space units.
    float glyphHeight() const;
    /// Corner 1 upper left (leftU, topV), 2 lower left, 3 upper right, 4 lower right; another throws the Error
    /// "unknown corner.".
    EGLVector cornerAddress(std::int32_t corner) const;
    /// The corner of the quad whose lower left lies at origin (y up): 1 upper left .. 4 lower right, as above.
    EGLVector cornerPosition(const EGLVector& origin, std::int32_t corner) const;

    bool invariant() const;

private:
    float mWidth;
    float mHeight;
    float mLeftU;
    float mRightU;
    float mTopV;
    float mBottomV;
};

/// A texture of 16 x 16 glyph cells, row 0 at the top, with a width for each glyph.
class EGLFont final : public EGLObject
{
public:
    static constexpr std::int32_t GLYPH_COLUMN_COUNT = 16;
    static constexpr std::int32_t GLYPH_ROW_COUNT = 16;
    static constexpr std::size_t GLYPH_COUNT = 256;
    // Exclusive bounds of the width mode.
    static constexpr std::int32_t MIN_WIDTH_MODE = 0;
    static constexpr std::int32_t MAX_WIDTH_MODE = 3;
    /// Every glyph is a full cell wide.
    static constexpr std::int32_t CELL_WIDTH = 1;
    /// A glyph is as wide as the set pixels of its cell.
    static constexpr std::int32_t PIXEL_WIDTH = 2;

    /// Cells are drawn frameWidth x frameHeight space units; glyphSpaceX separates the glyphs of a line.
    EGLFont(EGLTexture* fontTexture, std::int32_t widthMode, float glyphSpaceX, float glyphSpaceY, float frameWidth,
            float frameHeight);
    ~EGLFont() noexcept(false) override;

    /// The glyph of the character code taken as an unsigned byte.
    const EGLGlyph& glyph(char character) const;
    float frameWidth() const;
    float frameHeight() const;
    float glyphSpaceX() const;
    float glyphSpaceY() const;
    EGLTexture* fontTexture() const;

    bool invariant() const;

private:
    void buildGlyphs();

    EGLTexture* mFontTexture;
    std::int32_t mWidthMode;
    float mGlyphSpaceX;
    float mGlyphSpaceY;
    float mFrameWidth;
    float mFrameHeight;
    std::vector<EGLGlyph> mGlyphs;
};

/// One line of text in one colour, laid out with a font; its origin is the point (alignmentX, alignmentY) of
/// the text's box, as fractions of its width and height (0, 0 lower left; 0.5, 0.5 centre; 1, 1 upper right).
class EGLLabel final : public EGLObject
{
public:
    /// The text needs at least one character; an empty one throws the Error "Vertex format has no indices." before
    /// anything is made.
    EGLLabel(EGL* egl, EGLFont* font, EGLBlendingMethod* blender, const std::string& text, const float& alignmentX,
             const float& alignmentY, const std::uint32_t& color);
    /// Destroys the model and the stream through the library.
    ~EGLLabel() noexcept(false) override;

    /// Lays the new text out in a new stream and model; an empty text throws as at construction, changing nothing.
    void setText(const std::string& text);
    /// Recolours every vertex (ARGB).
    void setColor(const std::uint32_t& color);
    /// Moves the label's user registration to the new blending method and draws with it.
    void setBlender(EGLBlendingMethod* blender);
    /// Draws the line through the library, inside a scene.
    void drawLabel();
    /// The text as last set.
    const std::string& text() const;
    /// Laid-out width, space units.
    float labelWidth() const;
    /// The font's frame height, space units.
    float labelHeight() const;
    const std::uint32_t& color() const;

    bool invariant() const;

private:
    void layOut();
    void writeColors();

    EGL* mEGL;
    EGLFont* mFont;
    EGLBlendingMethod* mBlender;
    std::string mText;
    float mAlignmentX;
    float mAlignmentY;
    std::uint32_t mColor;
    float mHeight;
    float mWidth;
    EGLStream* mStream;
    EGLModel* mModel;
};

/// A new font, owned by the caller until destroyFont.
EGLFont* createFont(EGLTexture* fontTexture, std::int32_t widthMode, float glyphSpaceX, float glyphSpaceY,
                    float frameWidth, float frameHeight);
/// Removes the font from the registry and deletes it; null does nothing.
void destroyFont(EGLFont* font);
/// A new label, owned by the caller until destroyLabel.
EGLLabel* createLabel(EGL* egl, EGLFont* font, EGLBlendingMethod* blender, const std::string& text,
                      const float& alignmentX, const float& alignmentY, const std::uint32_t& color);
/// Removes the label from the registry and deletes it; null does nothing.
void destroyLabel(EGLLabel* label);

/// False for null, else whether the font was created and not yet destroyed.
bool isOpen(EGLFont* font);
/// False for null, else whether the label was created and not yet destroyed.
bool isOpen(EGLLabel* label);
/// The registry of fonts.
const std::set<EGLFont*>& fonts();
/// The registry of labels.
const std::set<EGLLabel*>& labels();
