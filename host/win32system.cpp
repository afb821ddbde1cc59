// Process, module, message box and text conversion.

#include "host/hostwin32.h"
#include "host/win32state.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

// Any non-null value serves: the module handle is only ever handed back to the host.
HINSTANCE__* const gModule = reinterpret_cast<HINSTANCE__*>(std::uintptr_t{0x400000});

// A display is there when SDL's video runs on a driver that shows windows to someone.
bool displayIsAvailable()
{
    if (!hostStartSDL(SDL_INIT_VIDEO))
    {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

constexpr char32_t REPLACEMENT = 0xFFFD;

} // namespace

// Overlong sequences and surrogates count as malformed.
char32_t hostDecodeUtf8(const unsigned char* bytes, int count, int* at)
{
    const unsigned char lead = bytes[(*at)++];
    if (lead < 0x80)
    {
        return lead;
    }
    // 110xxxxx, 1110xxxx and 11110xxx lead 1, 2 and 3 continuation bytes; anything else is malformed.
    const int length = lead >= 0xF8 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (length < 0)
    {
        return REPLACEMENT;
    }
    constexpr char32_t MINIMUM[] = {0, 0x80, 0x800, 0x10000};
    const char32_t minimum = MINIMUM[length];
    char32_t value = lead & (0x3F >> length);
    if (*at + length > count)
    {
        return REPLACEMENT;
    }
    for (int i = 0; i < length; ++i)
    {
        if ((bytes[*at + i] & 0xC0) != 0x80)
        {
            return REPLACEMENT;
        }
        value = (value << 6) | (bytes[*at + i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    {
        return REPLACEMENT;
    }
    *at += length;
    return value;
}

void ExitProcess(UINT exitCode)
{
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(exitCode));
}

HMODULE GetModuleHandleA(LPCSTR)
{
    return gModule;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    text = text ? text : "";
    caption = caption ? caption : "";
    std::fprintf(stderr, "%s\n%s\n", caption, text);
    std::fflush(stderr);
    if (displayIsAvailable())
    {
        const Uint32 icon = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(icon, caption, text, nullptr);
    }
    return IDOK;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR bytes, int byteCount, LPWSTR wide, int wideCount)
{
    if ((codePage != CP_ACP && codePage != CP_UTF8) || !bytes || byteCount == 0 || byteCount < -1 || wideCount < 0 ||
        (wideCount > 0 && !wide))
    {
        return 0;
    }
    const int count = byteCount == -1 ? static_cast<int>(std::strlen(bytes)) + 1 : byteCount;
    const auto* input = reinterpret_cast<const unsigned char*>(bytes);
    int written = 0;
    for (int at = 0; at < count;)
    {
        const char32_t character = hostDecodeUtf8(input, count, &at);
        if (wideCount > 0)
        {
            if (written == wideCount)
            {
                return 0;
            }
            wide[written] = static_cast<WCHAR>(character);
        }
        ++written;
    }
    return written;
}
