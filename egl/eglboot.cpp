#include "egl/eglboot.h"

#include "egl/egld3d8.h"
#include "foundation/dbg.h"

#include <new>

namespace
{

std::set<EGL*>& mOpenEGLs()
{
    static std::set<EGL*> openEGLs;
    return openEGLs;
}

} // namespace

EGL* openEGL(std::int32_t, const HWND* windowHandle)
{
    EGL* eGL = new (std::nothrow) EGLD3D8(windowHandle);
    DBG_ASSERT(eGL);
    mOpenEGLs().insert(eGL);
    return eGL;
}

void closeEGL(EGL* egl)
{
    mOpenEGLs().erase(egl);
    delete egl;
}

const std::set<EGL*>& openEGLs()
{
    return mOpenEGLs();
}
