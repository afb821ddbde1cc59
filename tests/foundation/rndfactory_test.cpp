#include "foundation/rndfactory.h"

#include "foundation/rndparkmiller.h"
#include "foundation/rndregister256.h"
#include "foundation/rndtoolimp.h"
#include "rndtesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr std::int32_t MASK_NONE = 0; // seed 0x5a6c9152, whatever the time
constexpr double SEED_OF_MASK_NONE = 0x5a6c9152;

std::vector<double> toolDraws(RNDTool& tool)
{
    std::vector<double> values;
    for (int i = 0; i < 5; ++i)
        values.push_back(tool.uniform(0.0, 1.0));
    return values;
}

} // namespace

TEST(RNDOpenTool, RefusesUnusableGeneratorsWithTheirChecks)
{
    struct Case
    {
        std::int32_t generatorID, initializerID;
        const char* kind;
        const char* description;
    };
    const Case cases[] = {
        {0, 2, "Assertion failure",
         "(generatorID>FIRST_GENERATOR)&&(generatorID<LAST_GENERATOR) && \"Valid generatorID\""},
        {4, 2, "Assertion failure",
         "(generatorID>FIRST_GENERATOR)&&(generatorID<LAST_GENERATOR) && \"Valid generatorID\""},
        {1, 2, "Assertion failure", "(generatorID!=NULL_GENERATOR) && \"Valid generatorID\""},
        {2, 0, "Assertion failure",
         "(initializerID>FIRST_GENERATOR)&&(initializerID<LAST_GENERATOR) && \"Valid initializerID\""},
        {3, 4, "Assertion failure",
         "(initializerID>FIRST_GENERATOR)&&(initializerID<LAST_GENERATOR) && \"Valid initializerID\""},
        {3, 1, "Error", "The null random generator can't be used to initialize a register256 random generator."},
        {3, 3, "Error", "Register256 can't be used as initializer for another register256."},
    };
    for (const Case& c : cases)
    {
        try
        {
            RND::closeTool(RND::openTool(c.generatorID, 2, MASK_NONE, c.initializerID));
            ADD_FAILURE() << "opened " << c.generatorID << " over " << c.initializerID;
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.kind(), c.kind);
            EXPECT_STREQ(exception.description(), c.description);
        }
    }
}

TEST(RNDOpenTool, BuildsTheRequestedGeneratorSeededFromMakeSeed)
{
    RNDParkMiller parkMiller;
    RNDToolImp parkMillerTool(parkMiller, 2);
    parkMillerTool.setSeed(SEED_OF_MASK_NONE);
    RNDToolImp registerTool(RNDRegister256(parkMiller), 2);
    registerTool.setSeed(SEED_OF_MASK_NONE);

    RNDTool* opened = RND::openTool(PARK_MILLER_GENERATOR, 2, MASK_NONE, PARK_MILLER_GENERATOR);
    EXPECT_EQ(toolDraws(*opened), toolDraws(parkMillerTool));
    RND::closeTool(opened);

    // The application's configuration, with a fixed seed: Register256 filled by Park-Miller.
    opened = RND::openTool(REGISTER256_GENERATOR, 2, MASK_NONE, PARK_MILLER_GENERATOR);
    EXPECT_EQ(toolDraws(*opened), toolDraws(registerTool));
    RND::closeTool(opened);
}

TEST(RNDCloseTool, RefusesToolsThatAreNotOpen)
{
    RNDTool* closed = RND::openTool(PARK_MILLER_GENERATOR, 2, MASK_NONE, PARK_MILLER_GENERATOR);
    RND::closeTool(closed);
    RNDToolImp neverOpened(RNDParkMiller(), 2);

    const std::pair<RNDTool*, const char*> cases[] = {
        {nullptr, "tool && \"Valid random tool pointer.\""},
        {&neverOpened, "openTools.find(tool)!=openTools.end() && \"Tool is among open tools.\""},
        {closed, "openTools.find(tool)!=openTools.end() && \"Tool is among open tools.\""},
    };
    for (const auto& [tool, description] : cases)
    {
        try
        {
            RND::closeTool(tool);
            ADD_FAILURE() << "closed " << description;
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.description(), description);
        }
    }
}
