#include "foundation/refcount.h"

#include <gtest/gtest.h>

TEST(ECAReferenceCounted, CountsReferencesAndReadsInvalidOnceOverReleased)
{
    ECAReferenceCounted object;
    EXPECT_EQ(object.referenceCount(), 0);
    EXPECT_TRUE(object.isValid());

    object.addReference();
    object.addReference();
    object.removeReference();
    EXPECT_EQ(object.referenceCount(), 1);
    object.removeReference();
    EXPECT_EQ(object.referenceCount(), 0);
    EXPECT_TRUE(object.isValid()) << "reaching 0 is still alive";

    object.removeReference();
    EXPECT_EQ(object.referenceCount(), -1);
    EXPECT_FALSE(object.isValid());
}

TEST(ECAReferenceCounted, ACopyIsANewObjectWithItsOwnCount)
{
    ECAReferenceCounted source;
    source.addReference();
    source.addReference();

    ECAReferenceCounted copy(source);
    EXPECT_EQ(copy.referenceCount(), 0);

    ECAReferenceCounted assigned;
    assigned.addReference();
    assigned = source;
    EXPECT_EQ(assigned.referenceCount(), 1);
    EXPECT_EQ(source.referenceCount(), 2);
}
