#include "player/win32/WorkFolderUsers.h"

#include <gtest/gtest.h>

namespace lumo::player {

TEST(WorkFolderUsers, OnlyTheLastInstanceFindsNoOther)
{
    WorkFolderUsers first("Counted.scr");
    EXPECT_FALSE(first.othersUseIt());
    {
        WorkFolderUsers second("Counted.scr");
        EXPECT_TRUE(first.othersUseIt());
        EXPECT_TRUE(second.othersUseIt());
        WorkFolderUsers elsewhere("Other.scr");
        EXPECT_FALSE(elsewhere.othersUseIt()) << "another program's count is its own";
        second.leave();
        EXPECT_FALSE(first.othersUseIt());
        EXPECT_TRUE(second.othersUseIt()) << "after leaving, the first still counts";
    }
    EXPECT_FALSE(first.othersUseIt()) << "asking does not change the count";
}

} // namespace lumo::player
