#include "game/qlmgameexplosion.h"

#include "game/qlmgamebody.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgametick.h"
#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace
{

class QLMGameExplosionTest : public GamePlayTest
{
};

std::uint32_t channel(std::uint32_t color, int shift)
{
    return (color >> shift) & 0xFFu;
}

TEST_F(QLMGameExplosionTest, BlendingMixesEachChannelRoundingHalvesUp)
{
    struct Case
    {
        std::uint32_t a;
        std::uint32_t b;
        double t;
        std::uint32_t blended;
    };
    for (const Case& c :
         {Case{0xFFFE015A, 0x00000000, 0.5, 0x807F012D}, Case{0xFFFE015A, 0x00000000, 0.0, 0xFFFE015A},
          Case{0x12345678, 0xFFFFFFFF, 1.0, 0xFFFFFFFF}, Case{0x00000000, 0xFF000000, 0.25, 0x40000000}})
    {
        EXPECT_EQ(blendColors(c.a, c.b, c.t), c.blended) << std::hex << c.a << " " << c.b << " " << c.t;
    }
}

TEST_F(QLMGameExplosionTest, EveryModelIsACloudOfItsSizesPointsBetweenItsColourAndItsHalf)
{
    for (int sizeID = 1; sizeID <= 3; ++sizeID)
    {
        for (int colorID = 1; colorID <= 6; ++colorID)
        {
            const QLMExplosionModel* model = explosionModel(sizeID, colorID);
            ASSERT_NE(model, nullptr);
            ASSERT_EQ(model->stream->vertexCount(), 100 * sizeID);
            std::vector<std::uint32_t> colors;
            std::vector<EGLVector> positions;
            model->stream->colors(EGLRange{0, 100 * sizeID}, colors);
            model->stream->positions(EGLRange{0, 100 * sizeID}, positions);
            const std::uint32_t full = colorOfID(colorID);
            const std::uint32_t half = blendColors(full, 0, 0.5);
            for (std::size_t i = 0; i < colors.size(); ++i)
            {
                EXPECT_LE(positions[i].x * positions[i].x + positions[i].y * positions[i].y, 1.0f + 1e-6f);
                for (int shift = 0; shift < 32; shift += 8)
                {
                    EXPECT_LE(channel(half, shift), channel(colors[i], shift));
                    EXPECT_LE(channel(colors[i], shift), channel(full, shift));
                }
            }
        }
    }
    EXPECT_EQ(thrownBy([] { initializeExplosionModels(); }), "Assertion failure: !explosionModelsAreInitialized()");
}

TEST_F(QLMGameExplosionTest, ModelsAreMadeAndLookedUpOnlyForValidSizesAndColoursAndOnlyOnce)
{
    const std::uint32_t red = colorOfID(QLMColorIDs::RED);
    const struct
    {
        std::function<void()> use;
        const char* check;
    } cases[] = {
        {[] { explosionModel(0, QLMColorIDs::RED); }, "Assertion failure: QLMSizeIDs::isValidID(sizeID)"},
        {[] { explosionModel(QLMSizeIDs::SMALL, 7); }, "Assertion failure: QLMColorIDs::isValidID(colorID)"},
        {[&] { makeExplosionModel(4, QLMColorIDs::RED, 100, red); },
         "Assertion failure: QLMSizeIDs::isValidID(sizeID)"},
        {[&] { makeExplosionModel(QLMSizeIDs::SMALL, 0, 100, red); },
         "Assertion failure: QLMColorIDs::isValidID(colorID)"},
        {[&] { makeExplosionModel(QLMSizeIDs::SMALL, QLMColorIDs::RED, 0, red); }, "Assertion failure: 0 < plotCount"},
        {[&] { makeExplosionModel(QLMSizeIDs::SMALL, QLMColorIDs::RED, 100, red); },
         "Assertion failure: 0 == explosionModelMatrix[sizeID][colorID]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thrownBy(c.use), c.check);
}

TEST_F(QLMGameExplosionTest, AnExplosionGrowsFromTheBodysRadiusAndIsRemovedOnceOlderThanASecond)
{
    QLMSplod* splod = createSplod(QLMSizeIDs::LARGE, QLMColorIDs::BLUE, SPLVector(300.0, 0.0), SPLVector());
    appendSplod(splod);
    explodeBody(splod);
    ASSERT_EQ(explosions().size(), 1u);
    const QLMExplosion* explosion = explosions().front();
    EXPECT_EQ(explosion->radius(), 80.0);
    EXPECT_EQ(explosion->model(), explosionModel(QLMSizeIDs::LARGE, QLMColorIDs::BLUE));
    for (int i = 0; i < 4; ++i)
    {
        tickExplosions(0.0, 0.25);
        removeFinishedExplosions();
    }
    ASSERT_EQ(explosions().size(), 1u) << "an age of exactly its lifetime is still drawn";
    EXPECT_EQ(explosion->radius(), 280.0);
    tickExplosions(0.0, 0.01);
    removeFinishedExplosions();
    EXPECT_TRUE(explosions().empty());
}

} // namespace
