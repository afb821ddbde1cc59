#pragma once
// The game modules' tables map small integer IDs to the objects they own.

#include "foundation/dbg.h"

/// The object mapped to the ID in a map of ints to pointers; an ID without an entry throws the Error message (a
/// literal).
template <class Map>
typename Map::mapped_type lookUp(const Map& map, int id, const char* message)
{
    const auto found = map.find(id);
    DBG_CHECK(found != map.end(), message);
    return found->second;
}
