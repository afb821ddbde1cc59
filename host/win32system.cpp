// Process, module, message box and text conversion.

#include "host/hostwin32.h"
#include "host/shownwindow.h"
#include "host/win32state.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace
{

// Any non-null value serves: the module handle is only ever handed back to the host.
HINSTANCE__* const gModule = reinterpret_cast<HINSTANCE__*>(std::uintptr_t{0x400000});

constexpr char32_t REPLACEMENT = 0xFFFD;

// The message box is as wide as its longest line: this many characters keep it well inside a small screen.
constexpr std::size_t MESSAGE_BOX_LINE_WIDTH = 80;

bool continuesCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The byte index count characters on from the character at from, or the line's end.
std::size_t advance(std::string_view line, std::size_t from, std::size_t count)
{
    for (; from < line.size(); ++from)
    {
        if (!continuesCharacter(line[from]) && count-- == 0)
        {
            return from;
        }
    }
    return line.size();
}

// One line of the text, wrapped onto out.
void wrapLine(std::string_view line, std::size_t width, std::string& out)
{
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t limit = advance(line, start, width); // the first character past a full line
        if (limit == line.size())
        {
            break;
        }
        // Break at the last space that leaves a line of at most width characters (a space right after them
        // counts), dropping the spaces at the break.
        const std::size_t space = line.rfind(' ', limit);
        std::size_t end = space == std::string_view::npos || space <= start ? start : space;
        while (end > start && line[end - 1] == ' ')
        {
            --end;
        }
        if (end == start)
        {
            // A word longer than a line is cut after its width-th character.
            out.append(line.substr(start, limit - start)).push_back('\n');
            start = limit;
            continue;
        }
        out.append(line.substr(start, end - start)).push_back('\n');
        start = std::min(line.find_first_not_of(' ', end), line.size());
    }
    out.append(line.substr(start));
}

} // namespace

std::string hostWrapText(std::string_view text, std::size_t width)
{
    std::string wrapped;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start))
    {
        wrapLine(text.substr(start, end - start), width, wrapped);
        wrapped.push_back('\n');
        start = end + 1;
    }
    wrapLine(text.substr(start), width, wrapped);
    return wrapped;
}

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
    if (hostStartSDL(SDL_INIT_VIDEO) && hostVideoShowsWindows())
    {
        const Uint32 icon = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        hostShowMessageBox(icon, caption, hostWrapText(text, MESSAGE_BOX_LINE_WIDTH).c_str());
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
