#include "host/hostwin32.h"
#include "host/win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

TEST(MultiByteToWideChar, DecodesUtf8AndReportsTheCountNeeded)
{
    struct Case
    {
        const char* bytes;
        std::wstring expected;
    };
    const Case cases[] = {
        {"gametrack.mid", L"gametrack.mid"},     {"caf\xC3\xA9", L"caf\u00E9"}, {"\xE2\x82\xAC", L"\u20AC"},
        {"\xF0\x9F\x8E\xB5", L"\U0001F3B5"},     {"a\xFFz", L"a\uFFFDz"}, // not UTF-8
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                                    // overlong
        {"\xE2\x82", L"\uFFFD\uFFFD"},                                    // cut short
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},                          // surrogate
    };
    for (const Case& c : cases)
    {
        const int needed = MultiByteToWideChar(CP_ACP, 0, c.bytes, -1, nullptr, 0);
        ASSERT_EQ(needed, static_cast<int>(c.expected.size()) + 1) << c.bytes;
        std::wstring wide(needed, L'?');
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, c.bytes, -1, wide.data(), needed), needed);
        EXPECT_EQ(wide, c.expected + L'\0') << c.bytes;
    }
}

TEST(MultiByteToWideChar, RefusesSmallBuffersAndUnknownCodePages)
{
    WCHAR wide[4] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcd", 4, wide, 4), 4);
    EXPECT_EQ(wide[3], L'd');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcd", -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abcd", 4, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 0, wide, 4), 0);
}

TEST(MessageBox, WritesCaptionAndTextToStandardErrorWithoutADisplay)
{
    // Only the box wraps its text; the line on stderr stays whole.
    const std::string text = "Line: 12\nDescription: " + std::string(100, 'x');
    ::testing::internal::CaptureStderr();
    const int answer =
        MessageBoxA(nullptr, text.c_str(), "Quillom unrecoverable error", MB_OK | MB_ICONERROR | MB_TOPMOST);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Quillom unrecoverable error\n" + text + "\n");
    EXPECT_EQ(answer, IDOK);
}

TEST(MessageBox, TextIsWrappedAtSpacesKeepingItsOwnLineBreaks)
{
    struct Case
    {
        const char* text;
        const char* wrapped; // at 10 characters a line
    };
    const Case cases[] = {
        {"", ""},
        {"short", "short"},
        {"exactly 10", "exactly 10"},
        {"the quick brown fox jumps", "the quick\nbrown fox\njumps"},
        {"one\ntwo three four five\n\nsix", "one\ntwo three\nfour five\n\nsix"},
        {"ends with\n", "ends with\n"},
        {"spaces    at the break", "spaces\nat the\nbreak"},
        {"two  blanks", "two\nblanks"},
        {"a  b inside", "a  b\ninside"},
        {"see abcdefghijklmno end", "see\nabcdefghij\nklmno end"},
        {"abcdefghijklmnopqrstuvwxy", "abcdefghij\nklmnopqrst\nuvwxy"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(hostWrapText(c.text, 10), c.wrapped) << c.text;
    }

    // Widths count characters, not bytes, and a cut never falls inside one.
    const auto repeated = [](const char* character, int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
        {
            text += character;
        }
        return text;
    };
    const std::string e = "\xC3\xA9";
    EXPECT_EQ(hostWrapText("caf" + e + " x" + repeated(e.c_str(), 8), 10), "caf" + e + "\nx" + repeated(e.c_str(), 8));
    EXPECT_EQ(hostWrapText("a " + repeated(e.c_str(), 12), 10),
              "a\n" + repeated(e.c_str(), 10) + "\n" + repeated(e.c_str(), 2));
}

namespace
{

struct SaysGoodbye
{
    ~SaysGoodbye() { std::fputs("static destructor ran", stderr); }
};

} // namespace

TEST(ExitProcess, EndsAtOnceWithTheCodeAndRunsNoStaticDestructor)
{
    EXPECT_EXIT(
        {
            static SaysGoodbye goodbye;
            std::atexit([] { std::fputs("exit handler ran", stderr); });
            ExitProcess(3);
        },
        ::testing::ExitedWithCode(3), "^$");
}

TEST(ModuleHandle, IsTheSameNonNullValueForAnyName)
{
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("quillom"), GetModuleHandleA(nullptr));
}
