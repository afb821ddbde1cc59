#pragma once
// The 2-D physics library: vectors, boxes, polynomials and vortices; spheres and lockers; the physics system.

#include "spl/splcontacts.h"
#include "spl/splgroups.h"
#include "spl/splshape.h"
#include "spl/splsystem.h"
#include "spl/splvector.h"
