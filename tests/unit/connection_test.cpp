#include "Connection.h"

#include <gtest/gtest.h>

namespace {

TEST(Connection, TellsConnectingNoAnswerFullAndLostAndResendsTheJoinUntilAnsweredAndWhenLost) {
    Connection link;
    link.start("example.org", 4000, 1000);
    EXPECT_EQ(link.notice(1000), "Connecting to example.org:4000...");
    EXPECT_FALSE(link.joinDue(2999));
    EXPECT_TRUE(link.joinDue(3000));
    link.joinSent(3000);
    EXPECT_FALSE(link.joinDue(4999));
    EXPECT_EQ(link.notice(4000), "No answer from example.org:4000");
    link.heard(4500);
    link.admitted();
    EXPECT_FALSE(link.joinDue(9000));
    EXPECT_EQ(link.notice(7000), "");
    EXPECT_EQ(link.status(7500), Connection::Status::lost);
    EXPECT_EQ(link.notice(7500), "Connection lost");
    // Two seconds on the joins go out again every two seconds, until a server answers.
    EXPECT_FALSE(link.joinDue(9499));
    EXPECT_TRUE(link.joinDue(9500));
    EXPECT_EQ(link.notice(9500), "Reconnecting to example.org:4000...");
    link.joinSent(9500);
    EXPECT_FALSE(link.joinDue(11499));
    EXPECT_TRUE(link.joinDue(11500));
    link.heard(11600);
    EXPECT_EQ(link.status(11600), Connection::Status::playing);
    EXPECT_FALSE(link.joinDue(13600));

    Connection full;
    full.start("h", 1, 0);
    full.refused();
    EXPECT_FALSE(full.joinDue(1e9));
    full.heard(1e9);
    EXPECT_EQ(full.notice(1e9), "Server is full");
}

} // namespace
