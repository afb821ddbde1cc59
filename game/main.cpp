// The program's entry: start-up, the main loop and shutdown (qlmmain), and the error box that ends the program
// after any failed check.

#include "foundation/dbg.h"
#include "game/qlmmain.h"
#include "game/qlmsound.h"
#include "host/win32.h"
#include "platform/egc.h"
#include "platform/window.h"

#include <string>

namespace
{

[[noreturn]] void showErrorAndExit(const DBGException& exception)
{
    const char* caption = "Quillom unrecoverable error";
    std::string text =
        "Unfortunately Quillom has encountered an unrecoverable error. If this problem persists please contact our "
        "support available from the start menu. In your mail try to specify as closely as possible under which "
        "circumstance(s) this error message shows up. Also please include the error information provided below. "
        "Thanks in advance for helping us to improve this game.\n\n";
    text += "Product: Quillom 1.0\n";
    text += std::string("Filename: ") + exception.file() + "\n";
    text += "Line: " + std::to_string(exception.line()) + "\n";
    text += std::string("Description: ") + exception.description();

    // A failure while tidying up must not keep the box from showing; and the error may have come before the
    // window or the input library was open.
    try
    {
        stopMusic();
        if (::window() != nullptr)
        {
            ::window()->setState(MINIMIZED_WINDOW_STATE);
            if (inputLibrary() != nullptr)
                processMessages();
        }
    }
    catch (const DBGException&)
    {
    }
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR | MB_TOPMOST);
    // A fatal error is a failure to whoever started the program: a script, a launcher, CI.
    ExitProcess(1);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try
    {
        initializeModules();
        runCoordinator();
        shutdownModules();
    }
    catch (const DBGException& exception)
    {
        showErrorAndExit(exception);
    }
    return 0;
}
