#include "egl/egld3d8texture.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Addresses, the change rule and the null texture; what reaches the device is tested through the library
// (egld3d8_test).

TEST(EGLD3D8ImageTexture, AddressesArePixelCentres)
{
    const EGLD3D8ImageTexture texture(nullptr, EGLImage(256, 64));
    const EGLVector first = texture.address(0, 0);
    const EGLVector last = texture.address(255, 63);
    EXPECT_FLOAT_EQ(first.x, 0.001953125f);
    EXPECT_FLOAT_EQ(first.y, 0.0078125f);
    EXPECT_FLOAT_EQ(last.x, 0.998046875f);
    EXPECT_FLOAT_EQ(last.y, 0.9921875f);
    EXPECT_FLOAT_EQ(texture.columnAddress(128), 128.5f / 256.0f);
    EXPECT_FLOAT_EQ(texture.rowAddress(32), 32.5f / 64.0f);
}

TEST(EGLD3D8ImageTexture, ImageIsReplacedOnlyWhileChanging)
{
    EGLD3D8ImageTexture texture(nullptr, EGLImage(2, 2));
    EGLImage image(4, 4);
    EXPECT_EQ(thrownBy([&] { texture.setImage(image); }), "Assertion failure: isChanging()");
    texture.beginChange(nullptr);
    texture.setImage(image);
    texture.endChange(nullptr);
    EXPECT_EQ(texture.image().columnCount(), 4);
}

TEST(EGLD3D8ImageTexture, ResourcesNeedTheResourceKey)
{
    const char key = 0;
    EGLD3D8ImageTexture texture(nullptr, EGLImage(2, 2));
    texture.setResourceKey(nullptr, &key);
    EXPECT_EQ(thrownBy([&] { texture.createResource(&key + 1); }), "Assertion failure: isResourceKey(resourceKey)");
    EXPECT_EQ(thrownBy([&] { texture.commitChange(&key); }), "Assertion failure: d3D8TextureIsOpen()");
}

TEST(EGLD3D8ImageTexture, TheLargestTextureTheDeviceOffersIsAnImageTheReaderTakes)
{
    IDirect3D8* direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3D, nullptr);
    D3DCAPS8 caps{};
    ASSERT_EQ(direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    direct3D->Release();

    // A header alone: the reader passes the size and stops at the missing pixels, allocating nothing.
    std::vector<std::uint8_t> header = {'E', 'G', 'L', 'I', 'm', 'a', 'g', 'e'};
    for (const DWORD side : {caps.MaxTextureWidth, caps.MaxTextureHeight})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(static_cast<std::uint8_t>(side >> shift));
    EGLImage image;
    EXPECT_EQ(
        thrownBy([&] { decodeImage(header.data(), header.size(), image); }),
        "Assertion failure: \"Image data holds every pixel.\" && pixelCount(columnCount, rowCount) <= (memorySize "
        "- HEADER_SIZE) / PIXEL_SIZE");
}

TEST(EGLD3D8NullTexture, HasNoImageAndNoAddresses)
{
    EGLD3D8NullTexture texture(nullptr);
    EXPECT_EQ(thrownBy([&] { texture.setImage(EGLImage()); }), "Error: Null texture has no image.");
    EXPECT_EQ(thrownBy([&] { texture.image(); }), "Error: Null texture has no image.");
    EXPECT_EQ(thrownBy([&] { texture.address(0, 0); }), "Error: Null texture can not be adressed.");
    EXPECT_EQ(thrownBy([&] { texture.columnAddress(0); }), "Error: Null texture can not be adressed.");
    EXPECT_EQ(thrownBy([&] { texture.rowAddress(0); }), "Error: Null texture can not be adressed.");
}

TEST(EGLD3D8Textures, CannotBeCopied)
{
    const EGLD3D8ImageTexture texture(nullptr, EGLImage(1, 1));
    const EGLD3D8NullTexture nullTexture(nullptr);
    EXPECT_EQ(thrownBy([&] { EGLD3D8ImageTexture copy(texture); }), "Error: Value semantics not implemented.");
    EXPECT_EQ(thrownBy([&] { EGLD3D8NullTexture copy(nullTexture); }), "Error: Value semantics not implemeted.");
}
