#include "egl/eglboot.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

TEST(EGLBoot, OpenAndCloseKeepTheSetOfOpenLibraries)
{
    const HWND window = testWindow();
    EGL* first = openEGL(DIRECT3D8_IMPLEMENTATION, &window);
    EGL* second = openEGL(7, &window);
    EXPECT_EQ(openEGLs(), (std::set<EGL*>{first, second}));
    EXPECT_EQ(first->refreshState(), EGL::CLOSED);
    closeEGL(first);
    EXPECT_EQ(openEGLs(), (std::set<EGL*>{second}));
    closeEGL(nullptr);
    closeEGL(second);
    EXPECT_TRUE(openEGLs().empty());
}

TEST(EGLBoot, NeedsAWindow)
{
    EXPECT_EQ(thrownBy([] { openEGL(DIRECT3D8_IMPLEMENTATION, nullptr); }),
              "Assertion failure: \"Valid window handle pointer.\" && windowHandle");
    EXPECT_TRUE(openEGLs().empty());
}

TEST(EGLBoot, ClosingAnOpenLibraryFailsYetReleasesTheDirect3DObjects)
{
    const HWND window = testWindow();
    EGL* egl = openEGL(DIRECT3D8_IMPLEMENTATION, &window);
    for (std::int32_t i = 0; i < egl->deviceCount() && EGL::CLOSED == egl->refreshState(); ++i)
        if (EGL::WINDOW_TARGET == egl->device(i)->target())
            egl->openDevice(egl->device(i));
    ASSERT_EQ(egl->refreshState(), EGL::OPEN);
    EXPECT_EQ(thrownBy([&] { closeEGL(egl); }), "Assertion failure: CLOSED == mState");
    EXPECT_TRUE(openEGLs().empty());
}
