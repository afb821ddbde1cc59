#include "egl/egld3d8stream.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The memory side of the streams; what reaches the device is tested through the library (egld3d8_test).

TEST(EGLD3D8Stream, ColorStreamHasNeitherAddressesNorIndices)
{
    EGLD3D8ColorStream stream(nullptr, 4);
    EXPECT_EQ(stream.vertexFormat(), EGL::COLOR_VERTICES);
    EXPECT_EQ(stream.vertexCount(), 4);
    EXPECT_EQ(stream.indexCount(), 0);
    EXPECT_FALSE(stream.isIndexed());
    std::vector<EGLVector> addresses{{0.5f, 0.5f}};
    std::vector<std::int32_t> indices{0};
    EXPECT_EQ(thrownBy([&] { stream.setAddresses(0, {0, 1}, addresses); }), "Error: Vertex format has no adresses.");
    EXPECT_EQ(thrownBy([&] { stream.addresses({0, 1}, addresses); }), "Error: Vertex format has no adresses.");
    EXPECT_EQ(thrownBy([&] { stream.setIndices(0, {0, 1}, indices); }), "Error: Vertex format has no indices.");
    EXPECT_EQ(thrownBy([&] { stream.indices({0, 1}, indices); }), "Error: Vertex format has no indices.");
}

TEST(EGLD3D8Stream, TextureStreamHasAddressesButNoIndices)
{
    EGLD3D8TextureStream stream(nullptr, 3);
    EXPECT_EQ(stream.vertexFormat(), EGL::TEXTURE_VERTICES);
    stream.setAddresses(1, {0, 2}, {{0.25f, 0.75f}, {1.0f, 0.0f}});
    std::vector<EGLVector> addresses;
    stream.addresses({1, 2}, addresses);
    ASSERT_EQ(addresses.size(), 2u);
    EXPECT_EQ(addresses[0].x, 0.25f);
    EXPECT_EQ(addresses[0].y, 0.75f);
    EXPECT_EQ(addresses[1].x, 1.0f);
    std::vector<std::int32_t> indices;
    EXPECT_EQ(thrownBy([&] { stream.indices({0, 0}, indices); }), "Error: Vertex format has no indices.");
}

TEST(EGLD3D8Stream, SettersCopyTheSourceRangeToTheDestinationIndex)
{
    EGLD3D8ColorStream stream(nullptr, 5);
    const std::vector<EGLVector> source{{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}};
    stream.setPositions(2, {1, 3}, source);
    std::vector<EGLVector> positions;
    stream.positions({0, 5}, positions);
    const float expectedX[] = {0, 0, 1, 2, 3};
    const float expectedY[] = {0, 0, 10, 20, 30};
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(positions[i].x, expectedX[i]) << "vertex " << i;
        EXPECT_EQ(positions[i].y, expectedY[i]) << "vertex " << i;
    }
}

TEST(EGLD3D8Stream, GettersResizeTheOutputToTheRange)
{
    EGLD3D8ColorStream stream(nullptr, 4);
    stream.setColors(0, {0, 4}, {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u});
    std::vector<std::uint32_t> colors(10, 7u);
    stream.colors({1, 2}, colors);
    EXPECT_EQ(colors, (std::vector<std::uint32_t>{0xFF000002u, 0xFF000003u}));
}

TEST(EGLD3D8Stream, RangesOutsideTheVectorsAreRefused)
{
    EGLD3D8ColorStream stream(nullptr, 4);
    const std::vector<std::uint32_t> twoColors{1u, 2u};
    std::vector<std::uint32_t> colors;
    const std::string destination = "Assertion failure: \"Valid destination range.\" && destinationIsInside";
    const std::string source = "Assertion failure: \"Valid source range.\" && sourceIsInside";
    const std::string range = "Assertion failure: \"Valid range.\" && rangeIsInside";
    EXPECT_EQ(thrownBy([&] { stream.setColors(3, {0, 2}, twoColors); }), destination);
    EXPECT_EQ(thrownBy([&] { stream.setColors(-1, {0, 2}, twoColors); }), destination);
    EXPECT_EQ(thrownBy([&] { stream.setColors(0, {1, 2}, twoColors); }), source);
    EXPECT_EQ(thrownBy([&] { stream.setColors(0, {0, -1}, twoColors); }), source);
    EXPECT_EQ(thrownBy([&] { stream.colors({-1, 2}, colors); }), range);
    EXPECT_EQ(thrownBy([&] { stream.colors({2, 3}, colors); }), range);
    EXPECT_EQ(thrownBy([&] { stream.draw({0, 5}); }), range);
}

TEST(EGLD3D8Stream, NegativeVertexCountFails)
{
    EXPECT_EQ(thrownBy([] { EGLD3D8TextureStream stream(nullptr, -1); }),
              "Assertion failure: \"Valid vertex count.\" && (0 <= vertexCount)");
}

TEST(EGLD3D8Stream, CloneIsAnEmptyStreamOfTheSameKindAndSize)
{
    EGLD3D8TextureStream stream(nullptr, 6);
    stream.setColors(0, {0, 1}, {0xFFFFFFFFu});
    const std::unique_ptr<EGLD3D8Stream> clone(stream.clone());
    EXPECT_NE(dynamic_cast<EGLD3D8TextureStream*>(clone.get()), nullptr);
    EXPECT_EQ(clone->vertexCount(), 6);
    std::vector<std::uint32_t> colors;
    clone->colors({0, 1}, colors);
    EXPECT_EQ(colors[0], 0u);
}

TEST(EGLD3D8IndexStream, ForwardsVerticesToItsOwnCloneOfTheStream)
{
    EGLD3D8TextureStream model(nullptr, 4);
    EGLD3D8IndexStream stream(nullptr, model, 6);
    EXPECT_TRUE(stream.isIndexed());
    EXPECT_EQ(stream.vertexFormat(), EGL::TEXTURE_VERTICES);
    EXPECT_EQ(stream.vertexCount(), 4);
    EXPECT_EQ(stream.indexCount(), 6);
    std::vector<std::int32_t> indices;
    stream.indices({0, 6}, indices);
    EXPECT_EQ(indices, std::vector<std::int32_t>(6, 0));

    stream.setPositions(0, {0, 1}, {{5.0f, 6.0f}});
    std::vector<EGLVector> positions;
    stream.positions({0, 1}, positions);
    EXPECT_EQ(positions[0].x, 5.0f);
    model.positions({0, 1}, positions);
    EXPECT_EQ(positions[0].x, 0.0f) << "the model stream is not the one written";
}

TEST(EGLD3D8IndexStream, KeepsTheLowSixteenBitsOfEachIndex)
{
    EGLD3D8ColorStream model(nullptr, 1);
    EGLD3D8IndexStream stream(nullptr, model, 3);
    stream.setIndices(0, {0, 3}, {70000, 0xFFFF, 12});
    std::vector<std::int32_t> indices;
    stream.indices({0, 3}, indices);
    EXPECT_EQ(indices, (std::vector<std::int32_t>{4464, -1, 12}));
}

TEST(EGLD3D8IndexStream, ChangeBracketReachesTheInnerStream)
{
    // The inner stream takes the index stream as its key; a draw inside a change is refused.
    EGLD3D8ColorStream model(nullptr, 3);
    EGLD3D8IndexStream stream(nullptr, model, 3);
    stream.beginChange(nullptr);
    EXPECT_TRUE(stream.isChanging());
    EXPECT_EQ(thrownBy([&] { stream.draw({0, 3}); }), "Assertion failure: !isChanging()");
    stream.endChange(nullptr);
    EXPECT_FALSE(stream.isChanging());
}

TEST(EGLD3D8IndexStream, CannotBeClonedOrCopied)
{
    EGLD3D8ColorStream model(nullptr, 1);
    const EGLD3D8IndexStream stream(nullptr, model, 1);
    EXPECT_EQ(thrownBy([&] { delete stream.clone(); }), "Error: Index stream cloning not implemented.");
    EXPECT_EQ(thrownBy([&] { EGLD3D8IndexStream copy(stream); }), "Error: Value semantics not implemeted.");
    EXPECT_EQ(thrownBy([&] { EGLD3D8ColorStream copy(model); }), "Error: Value semantics not implemented.");
}
