#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

int gAfterCheck = 0;
int gCheckLine = 0;

void assertPositive(int value)
{
    gCheckLine = __LINE__ + 1;
    DBG_ASSERT(value > 0 && "Value must be positive.");
    ++gAfterCheck;
}

void refuse()
{
    DBG_ERROR("Value semantics not implemented.");
}

} // namespace

TEST(DBGCheck, PassingCheckHasNoEffect)
{
    gAfterCheck = 0;
    EXPECT_NO_THROW(assertPositive(1));
    EXPECT_EQ(gAfterCheck, 1);
}

TEST(DBGCheck, FailedAssertionKeepsExpressionTextFileAndLine)
{
    gAfterCheck = 0;
    try
    {
        assertPositive(0);
        FAIL() << "no exception";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.kind(), "Assertion failure");
        EXPECT_STREQ(exception.description(), "value > 0 && \"Value must be positive.\"");
        EXPECT_STREQ(exception.what(), exception.description());
        EXPECT_NE(std::string(exception.file()).find("dbg_test.cpp"), std::string::npos);
        EXPECT_EQ(exception.line(), gCheckLine);
    }
    EXPECT_EQ(gAfterCheck, 0) << "code after a failed check ran";
}

TEST(DBGCheck, ErrorCarriesMessageAndCopiesKeepAllFields)
{
    try
    {
        refuse();
        FAIL() << "no exception";
    }
    catch (const DBGException& exception)
    {
        const DBGException copy(exception);
        EXPECT_STREQ(copy.kind(), "Error");
        EXPECT_STREQ(copy.description(), "Value semantics not implemented.");
        EXPECT_STREQ(copy.file(), exception.file());
        EXPECT_EQ(copy.line(), exception.line());
    }
}
