#include "spl/splgroups.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace
{

// Spheres owned by the test, with the plain pointer list the broad phase takes.
struct Scene
{
    std::vector<std::unique_ptr<SPLSphere>> owned;
    std::vector<SPLShape*> shapes;

    SPLShape* add(double x, double y, double radius)
    {
        owned.push_back(std::make_unique<SPLSphere>(radius, 1.0, 2, 0.0, SPLVector(x, y), SPLVector(), SPLVector(), 0.0,
                                                    static_cast<int>(owned.size())));
        shapes.push_back(owned.back().get());
        return shapes.back();
    }
};

std::size_t groupOf(const std::vector<SPLGroup>& groups, const SPLShape* shape)
{
    for (std::size_t g = 0; g < groups.size(); ++g)
    {
        if (std::find(groups[g].begin(), groups[g].end(), shape) != groups[g].end())
            return g;
    }
    return groups.size();
}

} // namespace

TEST(SPLGroups, ChainOfOverlapsIsOneGroupInTheOrderOfLowerEdges)
{
    Scene scene;
    SPLShape* right = scene.add(30, 2, 10);
    SPLShape* left = scene.add(0, 0, 10);
    SPLShape* middle = scene.add(15, 1, 10);
    const std::vector<SPLGroup> groups = splitGroup(scene.shapes, 1);
    ASSERT_EQ(groups.size(), 1u);
    // The last axis swept is y, where the lower edges stand at -10, -9, -8.
    EXPECT_EQ(groups[0], (SPLGroup{left, middle, right}));
}

TEST(SPLGroups, ClustersSeparateOnEitherAxisAndLoneShapesFormNoGroup)
{
    Scene scene;
    SPLShape* a = scene.add(0, 0, 10);
    SPLShape* b = scene.add(5, 5, 10);
    scene.add(0, 100, 10);   // overlaps a and b in x only
    scene.add(500, 500, 10); // alone
    SPLShape* c = scene.add(500, 0, 10);
    SPLShape* d = scene.add(505, 15, 10);
    std::vector<SPLGroup> groups = splitGroup(scene.shapes, 1);
    ASSERT_EQ(groups.size(), 2u);
    std::sort(groups.begin(), groups.end());
    std::vector<SPLGroup> expected = {{a, b}, {c, d}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(groups, expected);
}

TEST(SPLGroups, ClusterSplitOnYIsSplitAgainOnX)
{
    // One cluster in x; in y a bottom row and a top row; the top row falls apart in x into two pairs.
    Scene scene;
    SPLShape* bottom1 = scene.add(0, 0, 10);
    SPLShape* bottom2 = scene.add(200, 0, 10);
    SPLShape* bottom3 = scene.add(100, 5, 95);
    SPLShape* top1 = scene.add(0, 300, 10);
    SPLShape* top2 = scene.add(10, 300, 10);
    SPLShape* top3 = scene.add(200, 300, 10);
    SPLShape* top4 = scene.add(210, 300, 10);
    const std::vector<SPLGroup> groups = splitGroup(scene.shapes, 1);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groupOf(groups, bottom1), groupOf(groups, bottom2));
    EXPECT_EQ(groupOf(groups, bottom1), groupOf(groups, bottom3));
    EXPECT_EQ(groupOf(groups, top1), groupOf(groups, top2));
    EXPECT_EQ(groupOf(groups, top3), groupOf(groups, top4));
    EXPECT_NE(groupOf(groups, top1), groupOf(groups, top3));
}

TEST(SPLGroups, UnknownAxisIsRefusedOnceThereIsSomethingToSplit)
{
    Scene scene;
    scene.add(0, 0, 10);
    EXPECT_TRUE(splitGroup(scene.shapes, 3).empty());
    scene.add(0, 0, 10);
    try
    {
        splitGroup(scene.shapes, 3);
        FAIL() << "axis 3 accepted";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.kind(), "Error");
        EXPECT_STREQ(exception.description(), "Unknown axis.");
    }
}

TEST(SPLGroups, ShapesWithoutExtentStillJoinTheirGroup)
{
    Scene scene;
    SPLShape* point = scene.add(0, 0, 0);
    SPLShape* around = scene.add(0, 0, 10);
    const std::vector<SPLGroup> groups = splitGroup(scene.shapes, 1);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groupOf(groups, point), groupOf(groups, around));
}

TEST(SPLGroups, EqualBoxesStandInTheOrderOfTheList)
{
    // Kept and fresh orders alike: the second split of the same list starts from the order the first one found.
    Scene scene;
    SPLShape* a = scene.add(0, 0, 10);
    SPLShape* b = scene.add(0, 0, 10);
    SPLShape* c = scene.add(5, -1, 10);
    SPLGroups groups;
    for (const std::vector<SPLShape*>& list : {std::vector<SPLShape*>{a, b, c}, std::vector<SPLShape*>{b, a, c}})
    {
        for (int split = 0; split < 2; ++split)
        {
            groups.split(list, 1);
            ASSERT_EQ(groups.count(), 1u);
            EXPECT_EQ(SPLGroup(groups.group(0).begin(), groups.group(0).end()), (SPLGroup{c, list[0], list[1]}));
        }
    }
}
