#pragma once
// A message handler that records every notification it receives and answers as told.

#include "foundation/handlers.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RecordingHandler : public EGCDefaultMessageHandler
{
public:
    /// What each notification answers.
    bool answer = true;
    /// One entry per call: "keyDown 29", "character 97", "mouseMove 10 20", "paint", ...
    std::vector<std::string> calls;

    bool onActivate(EGCWindow&) override { return record("activate"); }
    bool onActivateApplication(EGCWindow&) override { return record("activateApplication"); }
    bool onCharacter(EGCWindow&, std::uint32_t character) override
    {
        return record("character " + std::to_string(character));
    }
    bool onDestroy(EGCWindow&) override { return record("destroy"); }
    bool onInactivate(EGCWindow&) override { return record("inactivate"); }
    bool onInactivateApplication(EGCWindow&) override { return record("inactivateApplication"); }
    bool onKeyDown(EGCWindow&, int keyCode) override { return record("keyDown " + std::to_string(keyCode)); }
    bool onKeyUp(EGCWindow&, int keyCode) override { return record("keyUp " + std::to_string(keyCode)); }
    bool onLeftButtonDoubleClick(EGCWindow&) override { return record("leftDoubleClick"); }
    bool onLeftButtonDown(EGCWindow&) override { return record("leftDown"); }
    bool onLeftButtonUp(EGCWindow&) override { return record("leftUp"); }
    bool onMiddleButtonDoubleClick(EGCWindow&) override { return record("middleDoubleClick"); }
    bool onMiddleButtonDown(EGCWindow&) override { return record("middleDown"); }
    bool onMiddleButtonUp(EGCWindow&) override { return record("middleUp"); }
    bool onMouseMove(EGCWindow&, const EGCPoint& position) override
    {
        return record("mouseMove " + std::to_string(position.x()) + " " + std::to_string(position.y()));
    }
    bool onMove(EGCWindow&, const EGCPoint& position) override
    {
        return record("move " + std::to_string(position.x()) + " " + std::to_string(position.y()));
    }
    bool onPaint(EGCWindow&) override { return record("paint"); }
    bool onRightButtonDoubleClick(EGCWindow&) override { return record("rightDoubleClick"); }
    bool onRightButtonDown(EGCWindow&) override { return record("rightDown"); }
    bool onRightButtonUp(EGCWindow&) override { return record("rightUp"); }
    bool onSize(EGCWindow&, const EGCPoint& size) override
    {
        return record("size " + std::to_string(size.x()) + " " + std::to_string(size.y()));
    }

private:
    bool record(std::string call)
    {
        calls.push_back(std::move(call));
        return answer;
    }
};
