// The process entry of a program written against the Win32 stand-in.

#include "host/hostwin32.h"

#include <malloc.h>

int main()
{
    // The Windows heap gives a large block pages of its own and hands them back when it is freed. glibc does so
    // too, but raises the size from which it does to that of every such block freed, so that the next large
    // blocks (textures, images being loaded) come from the heap proper and their pages stay with the process
    // after they are freed. A fixed threshold keeps large blocks on pages of their own. Other C libraries (musl)
    // have no such setting.
#ifdef M_MMAP_THRESHOLD
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    if (!hostFindDisplay())
    {
        return 1;
    }
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWNORMAL);
}
