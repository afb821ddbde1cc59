// The process entry of a program written against the Win32 stand-in.

#include "host/win32.h"

int main()
{
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWNORMAL);
}
