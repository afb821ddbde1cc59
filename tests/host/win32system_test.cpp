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
    ::testing::internal::CaptureStderr();
    const int answer = MessageBoxA(nullptr, "Line: 12\nDescription: x", "Quillom unrecoverable error",
                                   MB_OK | MB_ICONERROR | MB_TOPMOST);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Quillom unrecoverable error\nLine: 12\nDescription: x\n");
    EXPECT_EQ(answer, IDOK);
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
