#pragma once
// What the tests of every layer need from the one exception type.

#include "foundation/dbg.h"

#include <functional>
#include <string>

/// Runs the action and returns "<kind>: <description>" of the DBGException it throws, or "nothing thrown".
inline std::string thrownBy(const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const DBGException& exception)
    {
        return std::string(exception.kind()) + ": " + exception.description();
    }
    return "nothing thrown";
}
