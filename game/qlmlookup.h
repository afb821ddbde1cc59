#pragma once
// The game modules' tables map small integer IDs to the objects they own.

#include "foundation/dbg.h"

#include <map>

/// The object mapped to the ID; an ID without an entry throws the Error message (a literal).
template <class Object>
Object* lookUp(const std::map<int, Object*>& map, int id, const char* message)
{
    const auto found = map.find(id);
    DBG_CHECK(found != map.end(), message);
    return found->second;
}
