// Opening and closing random tools.

#include "foundation/rndfactory.h"

#include "foundation/dbg.h"
#include "foundation/rndparkmiller.h"
#include "foundation/rndregister256.h"
#include "foundation/rndseedtool.h"
#include "foundation/rndtoolimp.h"

#include <new>
#include <set>

namespace
{

constexpr std::int32_t OPEN_TOOL_GAUSSEAN_METHOD = 2;

std::set<RNDTool*>& openToolSet()
{
    static std::set<RNDTool*> tools;
    return tools;
}

} // namespace

// The check texts are reported as written, so these functions keep their compact spelling.
// clang-format off
RNDTool* RND::openTool(std::int32_t generatorID, std::int32_t, std::int32_t seedSourceMask, std::int32_t initializerID)
{
    DBG_ASSERT((generatorID>FIRST_GENERATOR)&&(generatorID<LAST_GENERATOR) && "Valid generatorID");
    DBG_ASSERT((generatorID!=NULL_GENERATOR) && "Valid generatorID");
    DBG_ASSERT((initializerID>FIRST_GENERATOR)&&(initializerID<LAST_GENERATOR) && "Valid initializerID");

    RNDToolImp* toolImp = nullptr;
    if (generatorID == PARK_MILLER_GENERATOR)
    {
        const RNDParkMiller parkMiller;
        toolImp = new (std::nothrow) RNDToolImp(parkMiller, OPEN_TOOL_GAUSSEAN_METHOD);
    }
    else
    {
        if (initializerID == NULL_GENERATOR)
            DBG_ERROR("The null random generator can't be used to initialize a register256 random generator.");
        if (initializerID == REGISTER256_GENERATOR)
            DBG_ERROR("Register256 can't be used as initializer for another register256.");
        const RNDParkMiller parkMiller;
        const RNDRegister256 register256(parkMiller);
        toolImp = new (std::nothrow) RNDToolImp(register256, OPEN_TOOL_GAUSSEAN_METHOD);
    }
    DBG_ASSERT(toolImp && "ToolImp created successfully.");

    // As an unsigned value: 0 to 4294967295.
    toolImp->setSeed(static_cast<double>(RND::makeSeed(seedSourceMask)));
    openToolSet().insert(toolImp);
    return toolImp;
}

void RND::closeTool(RNDTool* tool)
{
    std::set<RNDTool*>& openTools = openToolSet();
    DBG_ASSERT(tool && "Valid random tool pointer.");
    DBG_ASSERT(openTools.find(tool)!=openTools.end() && "Tool is among open tools.");
    openTools.erase(tool);
    delete tool;
}
// clang-format on
