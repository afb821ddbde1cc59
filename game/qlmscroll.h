#pragma once
// Scrolling texts: one line of text on a dark translucent band of its own size, moving right to left at a fixed
// height and starting again beyond the right bound once it has passed the left one. Every open text is kept in one
// registry; the intro opens the two tickers, and both the intro and the hall of fame advance and draw the whole
// registry, so the same tickers run on both screens.
//
// Depends on: the graphics library lent out by the application glue (platform/egc.h). Motion is a fixed step per
// update, whatever the frame time.

#include "egl/egl.h"

#include <cstdint>
#include <set>
#include <string>

class EGLFont;
class EGLLabel;

/// A flat-coloured quad drawn as a triangle fan with alpha blending; owned by its scrolling text.
class QLMRectangle
{
public:
    /// Centre position and size in space units; all four corners in the ARGB colour.
    QLMRectangle(const std::uint32_t& color, const EGLVector& position, const EGLVector& size);
    QLMRectangle(const QLMRectangle&) = delete;
    QLMRectangle& operator=(const QLMRectangle&) = delete;
    ~QLMRectangle() noexcept(false);

    /// Resizes the quad around its centre and rewrites its vertices.
    void setSize(const EGLVector& size);
    const EGLVector& size() const { return fSize; }
    /// Draws the quad through the library, inside a scene.
    void draw();

private:
    void rebuildVertices();

    std::uint32_t fColor;
    EGLVector fPosition;
    EGLVector fSize;
    EGLStream* fStream;
    EGLModel* fModel;
};

/// One scrolling line; owned by the registry from openScrollText to closeScrollText.
class QLMScrollText
{
public:
    QLMScrollText(EGLFont* font, EGLBlendingMethod* blendingMethod, const std::uint32_t& bandColor,
                  const std::uint32_t& textColor, const std::string& text, float y, float left, float right,
                  float speed);
    QLMScrollText(const QLMScrollText&) = delete;
    QLMScrollText& operator=(const QLMScrollText&) = delete;
    ~QLMScrollText() noexcept(false);

    /// Moves the text left by its speed, wrapping it beyond the right bound once it has left past the left one.
    void update();
    /// Draws the band and the text on top of it at the current position, inside a scene.
    void draw();

    /// Horizontal position of the text's centre, space units.
    float x() const { return fX; }
    const EGLLabel* label() const { return fLabel; }
    const QLMRectangle* band() const { return fBand; }

    bool invariant() const;

private:
    EGLTransform* fTranslation;
    EGLLabel* fLabel;
    QLMRectangle* fBand;
    float fY;
    float fLeft;
    float fRight;
    float fSpeed;
    float fX;
};

/// A new registered text, centred vertically on y, starting just beyond the right bound and moving speed space
/// units left per update (a negative speed moves it right, and it never wraps). Owned by the registry.
QLMScrollText* openScrollText(EGLFont* font, EGLBlendingMethod* blendingMethod, const std::uint32_t& bandColor,
                              const std::uint32_t& textColor, const std::string& text, float y, float left, float right,
                              float speed);
/// Unregisters and deletes a registered text.
void closeScrollText(QLMScrollText* scrollText);
/// True when the text is in the registry.
bool scrollTextIsOpen(QLMScrollText* scrollText);
/// Every registered text, ordered by address (the drawing order).
const std::set<QLMScrollText*>& scrollTexts();
/// Advances every registered text once.
void updateScrollTexts();
/// Draws every registered text; inside a scene of the graphics library.
void drawScrollTexts();
