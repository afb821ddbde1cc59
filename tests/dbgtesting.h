#pragma once
// What the tests of every layer need from the one exception type.

#include "foundation/dbg.h"

#include <functional>
#include <string>

/// Whether the sanitizers are built in. A test of a dead mark, which uses a destroyed object on purpose, skips
/// itself there: UBSan reports the use of the dead object before the mark is read.
#ifdef QUILLOM_SANITIZE
constexpr bool SANITIZED_BUILD = true;
#else
constexpr bool SANITIZED_BUILD = false;
#endif

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
