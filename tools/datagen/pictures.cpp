// The sprite sheets and backdrops. Shapes are signed distances in frame units: every frame spans -1 to 1 across,
// y up, and each shade function gives the colour at one point; `paintFrame` supersamples it into the sheet.
//
// The look: bright neon on dark. The game's four body colours (red, green, blue, violet) and the pills' yellow
// come from its colour table; cyan marks the player's own gun.

#include "tools/datagen/pictures.h"

#include "tools/datagen/font.h"
#include "tools/datagen/random.h"

#include "foundation/dbg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace datagen
{

namespace
{

/// Paints shade(p) into frame (column, row) of a sheet of frames `frameSize` pixels wide, p from -1 to 1.
template <class Shade>
void paintFrame(Canvas& sheet, int column, int row, int frameSize, int samples, Shade shade)
{
    const float half = frameSize * 0.5f;
    const float x0 = static_cast<float>(column * frameSize);
    const float y0 = static_cast<float>(row * frameSize);
    sheet.paint(column * frameSize, row * frameSize, frameSize, frameSize, samples,
                [&](float x, float y) {
                    return shade(Vec2{(x - x0) / half - 1.0f, 1.0f - (y - y0) / half});
                });
}

/// A light that falls smoothly to exactly nothing at distance 1 (frame edge), never a square border.
float edgeFade(float r)
{
    return r >= 1.0f ? 0.0f : (1.0f - r * r) * (1.0f - r * r);
}

// ---- splods --------------------------------------------------------------------------------------------------

Color splodShade(Vec2 p, Color color, std::uint32_t seed, int look)
{
    const float r = length(p);
    const float angle = std::atan2(p.y, p.x);
    // A blobby outline: low harmonics of seamless noise around the rim.
    const float rim = 0.8f + 0.22f * (circularNoise(angle, 4.0f, seed) - 0.5f);
    const float d = r / rim; // 1 on the outline
    const float edge = fill((r - rim) * 32.0f, 1.0f);
    const Color glow = withAlpha(color, 0.5f * std::exp(-std::max(d - 1.0f, 0.0f) * 9.0f) * edgeFade(r));
    if (edge <= 0.0f)
        return glow;

    // Membrane: bright towards the outline, dim glassy interior.
    const float membrane = std::pow(smoothstep(0.35f, 1.0f, d), 3.0f);
    Color body = mix(scaled(color, 0.28f), color, membrane);
    body = mix(body, WHITE, 0.45f * smoothstep(0.9f, 0.99f, d) * (1.0f - smoothstep(0.99f, 1.0f, d)));

    // Inner matter, different for each look: spots, a nucleus, swirls or fine grain.
    const Vec2 q = p * (1.0f / rim);
    float matter = 0.0f;
    switch (look)
    {
    case 0:
        matter = smoothstep(0.58f, 0.66f, fractalNoise(q.x * 3.2f, q.y * 3.2f, 3, seed + 7));
        break;
    case 1:
        matter = fill((sdCircle(q - Vec2{0.12f, -0.1f}, 0.34f) + 0.06f * valueNoise(q.x * 6, q.y * 6, seed)) * 16.0f);
        matter = std::max(matter * 0.8f, fill(sdCircle(q - Vec2{0.16f, -0.06f}, 0.12f) * 16.0f));
        break;
    case 2:
    {
        const float swirl = angle * 3.0f + r * 9.0f + 2.0f * fractalNoise(q.x * 2, q.y * 2, 2, seed + 3);
        matter = smoothstep(0.55f, 0.85f, std::sin(swirl) * 0.5f + 0.5f) * smoothstep(0.1f, 0.4f, d);
        break;
    }
    default:
        matter = smoothstep(0.62f, 0.7f, fractalNoise(q.x * 7.0f, q.y * 7.0f, 2, seed + 11)) * 0.9f;
        break;
    }
    body = mix(body, mix(color, WHITE, 0.25f), matter * 0.75f * (1.0f - membrane));

    // A soft highlight at the upper left, as if lit from above.
    const float highlight = fill((sdCircle(q - Vec2{-0.34f, 0.4f}, 0.16f)) * 6.0f) * 0.7f;
    body = mix(body, WHITE, highlight);
    return over(glow, withAlpha(body, edge * 0.96f));
}

// ---- pills ---------------------------------------------------------------------------------------------------

enum class PillSymbol
{
    none,
    pointsUp,
    pointsDown,
    shieldUp,
    shieldDown,
    slow,
    reverse,
    speedUp,
    burst
};

PillSymbol pillSymbol(int effectID)
{
    if (effectID >= 1 && effectID <= 16)
        return PillSymbol::pointsUp;
    if (effectID >= 41 && effectID <= 56)
        return PillSymbol::pointsDown;
    switch (effectID)
    {
    case 17:
        return PillSymbol::shieldUp;
    case 18:
        return PillSymbol::slow;
    case 25:
        return PillSymbol::reverse;
    case 26:
        return PillSymbol::burst;
    case 57:
        return PillSymbol::shieldDown;
    case 58:
        return PillSymbol::speedUp;
    default:
        return PillSymbol::none;
    }
}

/// The symbol's signed distance, drawn within radius 0.6 with strokes at least 0.12 wide (4 pixels of 32).
float symbolDistance(PillSymbol symbol, Vec2 p)
{
    const auto plus = [&](float size, float stroke) {
        return std::min(sdSegment(p, {-size, 0}, {size, 0}, stroke), sdSegment(p, {0, -size}, {0, size}, stroke));
    };
    const auto chevron = [&](float x)
    {
        return std::min(sdSegment(p, {x - 0.18f, 0.3f}, {x + 0.1f, 0}, 0.1f),
                        sdSegment(p, {x + 0.1f, 0}, {x - 0.18f, -0.3f}, 0.1f));
    };
    switch (symbol)
    {
    case PillSymbol::pointsUp:
        return plus(0.44f, 0.14f);
    case PillSymbol::pointsDown:
        return sdSegment(p, {-0.44f, 0}, {0.44f, 0}, 0.14f);
    case PillSymbol::shieldUp: // the shield's ring around an arrow head pointing up
        return std::min(sdRing(p, 0.46f, 0.09f), sdTriangle(p, {-0.26f, -0.17f}, {0.26f, -0.17f}, {0.0f, 0.24f}));
    case PillSymbol::shieldDown: // ... and pointing down
        return std::min(sdRing(p, 0.46f, 0.09f), sdTriangle(p, {-0.26f, 0.17f}, {0.0f, -0.24f}, {0.26f, 0.17f}));
    case PillSymbol::slow:
    {
        // An hourglass.
        const float glass = std::min(sdTriangle(p, {-0.34f, 0.48f}, {0.34f, 0.48f}, {0, 0.02f}),
                                     sdTriangle(p, {-0.34f, -0.48f}, {0.34f, -0.48f}, {0, -0.02f}));
        return std::min(glass - 0.02f, std::min(sdSegment(p, {-0.42f, 0.52f}, {0.42f, 0.52f}, 0.06f),
                                                sdSegment(p, {-0.42f, -0.52f}, {0.42f, -0.52f}, 0.06f)));
    }
    case PillSymbol::reverse:
    {
        // A U-turn: an arc open at the lower left, with an arrow head pointing down at its left end.
        const float arc = std::atan2(p.y, p.x) < -PI * 0.5f ? 1.0f : sdRing(p, 0.36f, 0.09f);
        return std::min(arc, sdTriangle(p, {-0.6f, 0.04f}, {-0.12f, 0.04f}, {-0.36f, -0.34f}));
    }
    case PillSymbol::speedUp:
        return std::min(chevron(-0.12f), chevron(0.2f));
    case PillSymbol::burst:
        return sdStar(p, 8, 0.6f, 0.24f, PI / 8.0f);
    case PillSymbol::none:
        return 1.0f;
    }
    DBG_ERROR("Unknown pill symbol.");
}

Color pillShade(Vec2 p, Color color, PillSymbol symbol)
{
    const float r = length(p);
    constexpr float RADIUS = 0.86f;
    constexpr float PIXEL = 1.0f / 16.0f; // one pixel of a 32 pixel cell
    const Color glow = withAlpha(color, 0.55f * std::exp(-std::max(r - RADIUS, 0.0f) * 14.0f) * edgeFade(r));
    const float body = fill((r - RADIUS) / PIXEL);
    if (body <= 0.0f)
        return glow;
    // Dark glass inside a bright neon rim, lighter towards the top.
    Color c = mix(scaled(color, 0.18f), scaled(color, 0.4f), clamp01(p.y * 0.5f + 0.5f));
    const float rim = fill(sdRing(p, RADIUS - 0.07f, 0.07f) / PIXEL);
    c = mix(c, mix(color, WHITE, 0.2f), rim);
    if (symbol != PillSymbol::none)
    {
        const float d = symbolDistance(symbol, p);
        c = mix(c, mix(color, WHITE, 0.35f), 0.6f * fill(d / PIXEL - 1.5f)); // a coloured halo behind the stroke
        c = mix(c, mix(WHITE, color, 0.15f), fill(d / PIXEL));
    }
    else
        c = mix(c, mix(WHITE, color, 0.4f), 0.8f * fill(sdCircle(p - Vec2{-0.3f, 0.32f}, 0.14f) / PIXEL));
    return over(glow, withAlpha(c, body));
}

// ---- stars and glows -----------------------------------------------------------------------------------------

Color starShade(Vec2 p, Color tint, int shape)
{
    const float r = length(p);
    float d = 0.0f;
    switch (shape)
    {
    case 0: // a four-pointed sparkle with long thin rays
        d = sdStar(p, 4, 0.95f, 0.12f, PI / 2.0f);
        break;
    case 1:
        d = sdStar(p, 5, 0.85f, 0.36f, PI / 2.0f);
        break;
    case 2:
        d = sdStar(p, 6, 0.82f, 0.3f, PI / 2.0f);
        break;
    default: // eight rays, alternately long and short
        d = std::min(sdStar(p, 4, 0.95f, 0.1f, PI / 2.0f), sdStar(p, 4, 0.6f, 0.1f, PI / 4.0f));
        break;
    }
    const float body = fill(d * 64.0f);
    const float glow = 0.5f * std::exp(-std::max(d, 0.0f) * 14.0f) * edgeFade(r);
    const Color c = mix(tint, WHITE, std::exp(-r * 5.0f));
    return over(withAlpha(tint, glow), withAlpha(c, body));
}

Color particleShade(Vec2 p, Color color, int shape, std::uint32_t seed)
{
    const float r = length(p);
    float light = 0.0f;
    switch (shape)
    {
    case 0: // a round soft glow
        light = 0.6f * std::exp(-r * r * 3.5f);
        break;
    case 1: // a halo ring around a faint centre
        light = 0.45f * std::exp(-std::pow((r - 0.55f) * 4.0f, 2.0f)) + 0.2f * std::exp(-r * r * 6.0f);
        break;
    case 2: // a cloud of nebula
        light = 0.8f * std::exp(-r * r * 2.2f) * smoothstep(0.3f, 0.75f, fractalNoise(p.x * 1.6f, p.y * 1.6f, 3, seed));
        break;
    default: // a soft flare with four rays
        light = 0.45f * std::exp(-r * r * 5.0f) + 0.35f * std::exp(-std::abs(p.x * p.y) * 30.0f - r * 1.5f);
        break;
    }
    light *= edgeFade(r);
    // Light for additive blending: colour x alpha is what gets added. Whiter where it is strongest.
    const Color c = mix(color, WHITE, clamp01(light - 0.3f));
    return withAlpha(c, clamp01(light));
}

} // namespace

Color gameColor(int colorID)
{
    static const std::uint32_t COLORS[] = {0xFFFE015A, 0xFF90FF00, 0xFF008AFF, 0xFFD200FF, 0xFFFFFF80, 0xFFFFFFFF};
    DBG_CHECK(colorID >= 1 && colorID <= 6, "Unknown color ID.");
    return argb(COLORS[colorID - 1]);
}

Canvas makeSplods()
{
    constexpr int FRAME = 128;
    Canvas sheet(4 * FRAME, 4 * FRAME);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
        {
            const std::uint32_t seed = 1000u + static_cast<std::uint32_t>(row * 4 + column) * 77u;
            paintFrame(sheet, column, row, FRAME, 3,
                       [&](Vec2 p) { return splodShade(p, gameColor(row + 1), seed, column); });
        }
    return sheet;
}

Canvas makePills()
{
    constexpr int CELL = 32;
    Canvas sheet(8 * CELL, 8 * CELL);
    for (int effectID = 1; effectID <= 64; ++effectID)
    {
        const int row = (effectID - 1) / 8;
        const Color color = gameColor(row <= 2 ? 2 : row <= 4 ? 5 : 1);
        const PillSymbol symbol = pillSymbol(effectID);
        paintFrame(sheet, (effectID - 1) % 8, row, CELL, 4, [&](Vec2 p) { return pillShade(p, color, symbol); });
    }
    return sheet;
}

Canvas makeBullets()
{
    constexpr int FRAME = 32;
    Canvas sheet(2 * FRAME, 2 * FRAME);
    for (int colorID = 1; colorID <= 4; ++colorID)
    {
        const Color color = gameColor(colorID);
        paintFrame(sheet, (colorID - 1) % 2, (colorID - 1) / 2, FRAME, 4,
                   [&](Vec2 p)
                   {
                       const float r = length(p);
                       const float core = fill((r - 0.3f) * 16.0f);
                       const Color halo =
                           withAlpha(color, std::max(0.9f * std::exp(-(r - 0.3f) * 5.0f) * edgeFade(r), core));
                       return over(halo, withAlpha(mix(color, WHITE, 0.85f), core));
                   });
    }
    return sheet;
}

Canvas makeGun()
{
    constexpr int SIZE = 256;
    Canvas picture(SIZE, SIZE);
    const Color steel = argb(0xFF2A3148);
    paintFrame(picture, 0, 0, SIZE, 3,
               [&](Vec2 p)
               {
                   const float r = length(p);
                   const float angle = std::atan2(p.y, p.x);
                   constexpr float PIXEL = 1.0f / 128.0f;
                   // An open well in the middle shows the loaded shells beneath the tower.
                   const Color glow = withAlpha(CYAN, 0.6f * std::exp(-std::abs(r - 0.95f) * 40.0f) * edgeFade(r));
                   const Color wellGlow = withAlpha(CYAN, 0.5f * std::exp(-std::abs(r - 0.54f) * 45.0f));
                   const float body = fill(sdRing(p, 0.745f, 0.185f) / PIXEL);
                   if (body <= 0.0f)
                   {
                       // A clear glass dome over the well, caught by the light at its upper left.
                       const float dome = fill(sdCircle(p, 0.56f) / PIXEL);
                       const float crescent = clamp01(fill(sdCircle(p, 0.48f), 0.06f) -
                                                      fill(sdCircle(p - Vec2{0.04f, -0.04f}, 0.47f), 0.06f));
                       const Color glass = over(withAlpha(CYAN, 0.08f * dome), withAlpha(WHITE, 0.3f * crescent));
                       return over(over(glow, wellGlow), glass);
                   }
                   // Bevelled rings lit from the upper left; twelve bolts; 36 glowing vents near the rim.
                   const float bevel = 0.5f + 0.5f * std::cos(r * 40.0f);
                   const float light = 0.75f + 0.35f * dot(Vec2{-0.6f, 0.8f}, p * (1.0f / std::max(r, 0.01f))) *
                                                   smoothstep(0.6f, 0.9f, r);
                   Color c = scaled(steel, light * (0.8f + 0.3f * bevel));
                   const float groove = fill(sdRing(p, 0.68f, 0.008f) / PIXEL) + fill(sdRing(p, 0.84f, 0.008f) / PIXEL);
                   c = mix(c, scaled(steel, 0.35f), clamp01(groove));
                   const float boltAngle = std::round(angle / (PI / 6.0f)) * (PI / 6.0f);
                   const Vec2 bolt{0.76f * std::cos(boltAngle), 0.76f * std::sin(boltAngle)};
                   const float boltShape = fill(sdCircle(p - bolt, 0.035f) / PIXEL);
                   c = mix(c, mix(argb(0xFF8090B0), WHITE, clamp01(dot(p - bolt, {-0.6f, 0.8f}) * 20.0f)), boltShape);
                   const float ventAngle = std::round(angle / (PI / 18.0f)) * (PI / 18.0f);
                   const float vent = fill(sdSegment(rotate(p, -ventAngle), {0.865f, 0}, {0.905f, 0}, 0.012f) / PIXEL);
                   c = mix(c, mix(CYAN, WHITE, 0.3f), vent);
                   const float innerRim = fill(sdRing(p, 0.575f, 0.012f) / PIXEL);
                   const float outerRim = fill(sdRing(p, 0.917f, 0.012f) / PIXEL);
                   c = mix(c, mix(CYAN, WHITE, 0.5f), std::max(innerRim, outerRim));
                   return over(over(glow, wellGlow), withAlpha(c, body));
               });
    return picture;
}

Canvas makeParticles()
{
    constexpr int FRAME = 128;
    const Color colors[] = {gameColor(3), gameColor(4), gameColor(1), CYAN};
    Canvas sheet(4 * FRAME, 4 * FRAME);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
        {
            const std::uint32_t seed = 5000u + static_cast<std::uint32_t>(row * 4 + column) * 31u;
            paintFrame(sheet, column, row, FRAME, 2,
                       [&](Vec2 p) { return particleShade(p, colors[row], column, seed); });
        }
    return sheet;
}

Canvas makeStars()
{
    constexpr int FRAME = 128;
    const Color tints[] = {argb(0xFFE8F0FF), argb(0xFFFFE080), CYAN, argb(0xFFFF70C0)};
    Canvas sheet(4 * FRAME, 4 * FRAME);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            paintFrame(sheet, column, row, FRAME, 3, [&](Vec2 p) { return starShade(p, tints[row], column); });
    return sheet;
}

Canvas makePlate()
{
    constexpr int SIZE = 256;
    Canvas picture(SIZE, SIZE);
    paintFrame(picture, 0, 0, SIZE, 2,
               [&](Vec2 p)
               {
                   // Drawn stretched behind texts that stop 20 units short of its edges, which is 0.96 of the
                   // way out on the hall of fame's and the name entry's plates: dark glass out to 0.97, its soft
                   // edge and a faint cyan rim in the last 0.03, clear at the border.
                   const float d = sdBox(p, {0.98f, 0.98f}, 0.1f);
                   const float alpha = 0.85f * smoothstep(0.01f, -0.01f, d);
                   const Color glass = mix(argb(0xFF080A22), argb(0xFF1A1E48), clamp01(p.y * 0.5f + 0.5f));
                   const float rim = std::exp(-std::pow((d + 0.002f) * 150.0f, 2.0f));
                   return withAlpha(mix(glass, CYAN, 0.5f * rim), alpha);
               });
    return picture;
}

Canvas makeScenery()
{
    constexpr int SIZE = 1024;
    // Deep space: nebula clouds, a faint polar grid around the gun and a scatter of stars. Nothing has an up or
    // down, so the picture reads the same at every angle.
    Canvas picture(SIZE, SIZE, argb(0xFF03040E));
    const Color violet = argb(0xFF3C0C66);
    const Color blue = argb(0xFF0A2A78);
    const Color magenta = argb(0xFF5A0A40);
    paintFrame(
        picture, 0, 0, SIZE, 1,
        [&](Vec2 p)
        {
            const float r = length(p);
            // Domain warping makes the clouds swirl instead of looking like plain noise.
            const float wx = fractalNoise(p.x * 1.6f + 3.0f, p.y * 1.6f, 3, 21);
            const float wy = fractalNoise(p.x * 1.6f, p.y * 1.6f + 7.0f, 3, 22);
            const float n = fractalNoise(p.x * 2.2f + wx * 1.8f, p.y * 2.2f + wy * 1.8f, 5, 23);
            const float tone = fractalNoise(p.x * 1.1f - 4.0f, p.y * 1.1f, 3, 24);
            const float cloud = smoothstep(0.35f, 0.8f, n);
            Color c = argb(0xFF03040E);
            c = mix(c, mix(mix(blue, violet, smoothstep(0.3f, 0.6f, tone)), magenta, smoothstep(0.6f, 0.8f, tone)),
                    cloud * 0.85f);
            const float dust = smoothstep(0.55f, 0.85f, fractalNoise(p.x * 9.0f, p.y * 9.0f, 3, 25));
            c = mix(c, scaled(c, 0.35f), dust * cloud * 0.6f);
            // A blue haze around the centre, where the gun stands.
            c = mix(c, argb(0xFF10307A), 0.35f * std::exp(-r * r * 10.0f));
            // The grid: rings every 100 units out from the shield (radius 200), 24 spokes.
            constexpr float UNIT = 1.0f / 1005.0f;
            const float ringDistance = std::abs(std::fmod(r / UNIT + 50.0f, 100.0f) - 50.0f) * UNIT;
            const float spokeAngle = std::fmod(std::atan2(p.y, p.x) + 2.0f * PI, PI / 12.0f) - PI / 24.0f;
            const float spokeDistance = std::abs(spokeAngle) * r;
            const float line = std::max(fill((ringDistance - 0.0012f) * SIZE * 0.5f),
                                        fill((spokeDistance - 0.0008f) * SIZE * 0.5f) * smoothstep(0.18f, 0.3f, r));
            const float gridFade = smoothstep(0.15f, 0.2f, r) * std::exp(-r * 1.6f);
            c = mix(c, CYAN, line * gridFade * 0.28f);
            return withAlpha(c, 1.0f);
        });

    Random random(2718);
    for (int i = 0; i < 1800; ++i)
    {
        const float x = static_cast<float>(random.uniform(0, SIZE));
        const float y = static_cast<float>(random.uniform(0, SIZE));
        const float magnitude = static_cast<float>(std::pow(random.uniform(), 3.0));
        const Color tint =
            mix(WHITE, i % 3 == 0 ? argb(0xFFA0C0FF) : argb(0xFFFFE0C0), static_cast<float>(random.uniform(0.0, 0.6)));
        const float radius = 0.6f + 1.6f * magnitude;
        const bool flare = magnitude > 0.75f;
        const int extent = flare ? 10 : 3;
        picture.paint(static_cast<int>(x) - extent, static_cast<int>(y) - extent, 2 * extent + 1, 2 * extent + 1, 3,
                      [&](float px, float py)
                      {
                          const float dx = px - x;
                          const float dy = py - y;
                          float light =
                              (0.35f + 0.65f * magnitude) * std::exp(-(dx * dx + dy * dy) / (radius * radius));
                          if (flare)
                              light += 0.5f * std::exp(-std::abs(dx * dy) * 3.0f - std::sqrt(dx * dx + dy * dy) * 0.5f);
                          return withAlpha(tint, clamp01(light));
                      });
    }
    return picture;
}

const std::vector<PictureRecord>& pictureRecords()
{
    static const std::vector<PictureRecord> RECORDS = {
        {"font.egl", FONT_GRID, FONT_GRID, Blending::alpha, 1, [] { return makeFontPicture(32); }},
        {"splods.egl", 4, 4, Blending::alpha, 1, makeSplods},
        {"pills.egl", 8, 8, Blending::alpha, 1, makePills},
        {"bullets.egl", 2, 2, Blending::alpha, 1, makeBullets},
        {"gun.egl", 1, 1, Blending::alpha, 1, makeGun},
        {"quillom.egl", 1, 1, Blending::additive, 2, makeProductLogo},
        {"tarnwick.egl", 1, 1, Blending::alpha, 1, makeMakerLogo},
        {"particles.egl", 4, 4, Blending::additive, 1, makeParticles},
        {"stars.egl", 4, 4, Blending::alpha, 1, makeStars},
        {"plate.egl", 1, 1, Blending::alpha, 1, makePlate},
        {"scenery.egl", 1, 1, Blending::none, 1, makeScenery},
    };
    return RECORDS;
}

} // namespace datagen
