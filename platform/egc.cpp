#include "platform/egc.h"

#include "egl/eglboot.h"
#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "platform/silboot.h"
#include "platform/sslboot.h"

#include <cstdint>
#include <new>

namespace
{

EGL* fGraphicsLibrary = nullptr;
SIL* fInputLibrary = nullptr;
RNDTool* fRandomTool = nullptr;
SSL* fSoundLibrary = nullptr;
EGCWin32Window* fWindow = nullptr;

// The random tool: Register256 seeded through Park-Miller from every seed source of the mask.
constexpr std::int32_t RANDOM_GENERATOR_ID = 3;
constexpr std::int32_t RANDOM_UNUSED = 2;
constexpr std::int32_t RANDOM_SEED_MASK = 767;
constexpr std::int32_t RANDOM_INITIALIZER_ID = 2;

bool windowIsOpen()
{
    return fWindow != nullptr;
}

bool soundLibraryIsOpen()
{
    return fSoundLibrary != nullptr;
}

void openWindow(const std::string& title, unsigned int flags)
{
    DBG_ASSERT(!windowIsOpen());
    EGCCompositeMessageHandler* messageHandlers = new (std::nothrow) EGCCompositeMessageHandler();
    DBG_ASSERT(messageHandlers);
    EGCWin32Window* window =
        new (std::nothrow) EGCWin32Window(messageHandlers, title.c_str(), flags, EGCRectangle(0, 0, 320, 200));
    DBG_ASSERT(window);
    fWindow = window;
    // Handle at once what creating and showing the window produced.
    pumpMessages();
    DBG_ASSERT(windowIsOpen());
}

void closeWindow()
{
    DBG_ASSERT(windowIsOpen());
    EGCMessageHandler* messageHandler = fWindow->messageHandler();
    DBG_ASSERT(messageHandler);
    fWindow->setMessageHandler(nullptr);
    delete messageHandler;
    delete fWindow;
    fWindow = nullptr;
}

} // namespace

void openEGC(const std::string& title, unsigned int flags)
{
    openWindow(title, flags);

    HWND windowHandle = fWindow->handle();
    DBG_ASSERT(NULL != windowHandle);
    fGraphicsLibrary = openEGL(DIRECT3D8_IMPLEMENTATION, &windowHandle);

    windowHandle = fWindow->handle();
    DBG_ASSERT(NULL != windowHandle);
    fInputLibrary = openSIL(DIRECT_INPUT_IMPLEMENTATION, &windowHandle);

    RNDTool* randomTool = RND::openTool(RANDOM_GENERATOR_ID, RANDOM_UNUSED, RANDOM_SEED_MASK, RANDOM_INITIALIZER_ID);
    DBG_ASSERT(randomTool);
    fRandomTool = randomTool;

    DBG_ASSERT(!soundLibraryIsOpen());
    fSoundLibrary = openSSL(DIRECT_AUDIO_IMPLEMENTATION);
    DBG_ASSERT(soundLibraryIsOpen());
}

void closeEGC()
{
    closeSSL(fSoundLibrary);
    fSoundLibrary = nullptr;
    RND::closeTool(fRandomTool);
    fRandomTool = nullptr;
    closeSIL(fInputLibrary);
    fInputLibrary = nullptr;
    closeEGL(fGraphicsLibrary);
    fGraphicsLibrary = nullptr;
    closeWindow();
}

EGL* graphicsLibrary()
{
    return fGraphicsLibrary;
}

SIL* inputLibrary()
{
    return fInputLibrary;
}

RNDTool* randomTool()
{
    return fRandomTool;
}

SSL* soundLibrary()
{
    return fSoundLibrary;
}

EGCWindow* window()
{
    return fWindow;
}

void processMessages()
{
    pumpMessages();
    fInputLibrary->update();
}
