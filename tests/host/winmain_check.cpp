// A program on the host entry: its exit code says whether WinMain got what the entry promises.

#include "host/win32.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    const bool promised = instance && instance == GetModuleHandleA(nullptr) && !previousInstance && commandLine &&
                          std::strlen(commandLine) == 0 && showCommand == SW_SHOWNORMAL;
    return promised ? 0 : 1;
}
