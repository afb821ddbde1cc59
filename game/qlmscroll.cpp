#include "game/qlmscroll.h"

#include "egl/egltext.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "platform/egc.h"

#include <new>
#include <vector>

namespace
{

std::set<QLMScrollText*>& registry()
{
    static std::set<QLMScrollText*> texts;
    return texts;
}

} // namespace

// Band ------------------------------------------------------------------------------------------------------------

QLMRectangle::QLMRectangle(const std::uint32_t& color, const EGLVector& position, const EGLVector& size)
    : fColor(color), fPosition(position), fSize(size), fStream(nullptr), fModel(nullptr)
{
    EGL* const egl = graphicsLibrary();
    fStream = egl->createStream(EGL::COLOR_VERTICES, 4, 0);
    fModel =
        egl->createModel(fStream, {0, 4}, egl->primitiveType(EGL::TRIANGLE_FAN), egl->shadingMethod(EGL::FLAT_SHADING),
                         egl->blendingMethod(EGL::ALPHA_BLENDING), egl->nullTexture());
    rebuildVertices();
}

QLMRectangle::~QLMRectangle() noexcept(false)
{
    EGL* const egl = graphicsLibrary();
    egl->destroy(fModel);
    egl->destroy(fStream);
}

void QLMRectangle::setSize(const EGLVector& size)
{
    fSize = size;
    rebuildVertices();
}

void QLMRectangle::draw()
{
    graphicsLibrary()->drawModel(fModel);
}

void QLMRectangle::rebuildVertices()
{
    const float hw = fSize.x * 0.5f;
    const float hh = fSize.y * 0.5f;
    const float cx = fPosition.x;
    const float cy = fPosition.y;
    const std::vector<EGLVector> corners = {
        {cx - hw, cy + hh}, {cx + hw, cy + hh}, {cx + hw, cy - hh}, {cx - hw, cy - hh}};
    EGL* const egl = graphicsLibrary();
    egl->beginChange(fStream);
    fStream->setPositions(0, {0, 4}, corners);
    fStream->setColors(0, {0, 4}, std::vector<std::uint32_t>(4, fColor));
    egl->endChange(fStream);
}

// Scrolling text --------------------------------------------------------------------------------------------------

QLMScrollText::QLMScrollText(EGLFont* font, EGLBlendingMethod* blendingMethod, const std::uint32_t& bandColor,
                             const std::uint32_t& textColor, const std::string& text, float y, float left, float right,
                             float speed)
    : fTranslation(nullptr), fLabel(nullptr), fBand(nullptr), fY(y), fLeft(left), fRight(right), fSpeed(speed), fX(0.0f)
{
    EGL* const egl = graphicsLibrary();
    fTranslation = createTranslationTransform(egl, {0.0f, 0.0f});
    fLabel = createLabel(egl, font, blendingMethod, text, 0.5f, 0.5f, textColor);
    fX = fRight + fLabel->labelWidth() * 0.5f;
    QLMRectangle* const rectangle = new (std::nothrow) QLMRectangle(bandColor, {0.0f, 0.0f}, {0.0f, 0.0f});
    DBG_ASSERT(rectangle);
    fBand = rectangle;
    fBand->setSize({fLabel->labelWidth(), fLabel->labelHeight()});
    DBG_ASSERT(invariant());
}

QLMScrollText::~QLMScrollText() noexcept(false)
{
    delete fBand;
    destroyLabel(fLabel);
    graphicsLibrary()->destroy(fTranslation);
}

bool QLMScrollText::invariant() const
{
    return fTranslation && fLabel && fBand;
}

void QLMScrollText::update()
{
    fX -= fSpeed;
    const float h = fLabel->labelWidth() * 0.5f;
    // The text's right end has passed the left bound: start again with its left end at the right bound.
    if (fX < fLeft - h)
        fX = fRight + h;
    changeTranslation(graphicsLibrary(), fTranslation, {fX, fY});
}

void QLMScrollText::draw()
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(fTranslation);
    fBand->draw();
    fLabel->drawLabel();
    egl->popTransform();
}

// Registry --------------------------------------------------------------------------------------------------------

QLMScrollText* openScrollText(EGLFont* font, EGLBlendingMethod* blendingMethod, const std::uint32_t& bandColor,
                              const std::uint32_t& textColor, const std::string& text, float y, float left, float right,
                              float speed)
{
    QLMScrollText* const scrollText =
        new (std::nothrow) QLMScrollText(font, blendingMethod, bandColor, textColor, text, y, left, right, speed);
    DBG_ASSERT(scrollText);
    registry().insert(scrollText);
    return scrollText;
}

void closeScrollText(QLMScrollText* scrollText)
{
    DBG_ASSERT(scrollTextIsOpen(scrollText));
    registry().erase(scrollText);
    delete scrollText;
}

bool scrollTextIsOpen(QLMScrollText* scrollText)
{
    return registry().contains(scrollText);
}

const std::set<QLMScrollText*>& scrollTexts()
{
    return registry();
}

void updateScrollTexts()
{
    for (QLMScrollText* const scrollText : registry())
        scrollText->update();
}

void drawScrollTexts()
{
    for (QLMScrollText* const scrollText : registry())
        scrollText->draw();
}
