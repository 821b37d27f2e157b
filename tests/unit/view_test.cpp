#include "LinkQuality.h"
#include "LocalView.h"
#include "MathOps.h"
#include "PlayerTrack.h"
#include "game_driver.h"

#include <cmath>

namespace {

const vec3 up(0, 1, 0);
const Orientation ahead{vec3(0, 0, -1), quat()};

Orientation turned(Orientation from, int dx, int dy = 0) {
    return turnedBy(from, dx, dy, up, 1);
}

::testing::AssertionResult same(const Orientation& a, const Orientation& b) {
    if (near(a.direction, b.direction, 0) && near(a.rotation, b.rotation, 0)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << ::testing::PrintToString(Components::of(a.direction)) << " is not "
           << ::testing::PrintToString(Components::of(b.direction));
}

float headingOf(const Orientation& view) {
    return float(std::atan2(-view.direction.x, -view.direction.z));
}

// The client turns the same as the server does: one rule in the world layer.
TEST(LocalView, TurnsShowAtOnceAndTheServersWordHoldsWithTheMouseStill) {
    Player body(vec3(500, 139, 500), vec3(500, 139, 499), up);
    body.rotateView(10, -4);
    EXPECT_TRUE(same(body.getOrientation(), turned(ahead, 10, -4)));

    LocalView view;
    view.turned(50, 0, 0); // nothing is turned before the server has shown the view
    EXPECT_FALSE(view.reported(ahead, 0, -1e9));
    EXPECT_TRUE(same(view.shown(0), ahead));
    view.turned(10, 0, 10);
    view.turned(-4, 3, 20);
    EXPECT_TRUE(same(view.shown(20), turned(turned(ahead, 10), -4, 3)));
    // The server has made the first turn: the second goes on top of its view, and the time
    // the first took to come back is a round trip.
    Orientation first = turned(ahead, 10);
    EXPECT_EQ(view.reported(first, 60, -1e9), 50);
    EXPECT_TRUE(same(view.shown(60), turned(first, -4, 3)));
    // Both made: the view is the server's, bit for bit, and stays so.
    Orientation both = turned(first, -4, 3);
    view.reported(both, 70, -1e9);
    view.reported(both, 80, -1e9);
    EXPECT_TRUE(same(view.shown(500), both));
}

TEST(LocalView, DifferencesFadeOutOrAreTakenAtOnceAndOldReportsTurnNothingBack) {
    LocalView view;
    view.reported(ahead, 0, -1e9);
    // The first turn is lost; the server makes only the second, which looks like the first
    // made and the second still to come. The picture does not jump: it moves on to that guess
    // within 100 ms, and once both turns should have come back, to the server's view.
    view.turned(6, 0, 10);
    view.turned(10, 0, 20);
    Orientation server = turned(ahead, 10);
    view.reported(server, 60, 0);
    EXPECT_NEAR(headingOf(view.shown(60)), headingOf(turned(turned(ahead, 6), 10)), 1e-4f);
    Orientation guess = turned(server, 10);
    EXPECT_TRUE(same(view.shown(160), guess));
    view.reported(server, 300, 250);
    EXPECT_NEAR(headingOf(view.shown(300)), headingOf(guess), 1e-4f);
    float halfway = headingOf(view.shown(350));
    EXPECT_NEAR(halfway, (headingOf(guess) + headingOf(server)) / 2, 1e-3f);
    EXPECT_TRUE(same(view.shown(400), server));

    // Turns in flight, and a report older than the last arriving late: the view stays put.
    for (int i = 1; i <= 5; ++i) {
        view.turned(8, 0, 400 + i);
    }
    Orientation expected = view.shown(410);
    Orientation third = turned(turned(turned(server, 8), 8), 8);
    view.reported(third, 450, 0);
    view.reported(turned(turned(server, 8), 8), 460, 0);
    EXPECT_NEAR(headingOf(view.shown(460)), headingOf(expected), 1e-4f);

    // The server turns the view a long way itself: taken at once, as having made every turn.
    Orientation behind = turned(server, 1000);
    view.reported(behind, 470, 0);
    EXPECT_TRUE(same(view.shown(470), behind));
}

TEST(LinkQuality, RoundTripJitterAndLossComeFromWhatArrives) {
    LinkQuality link;
    EXPECT_FALSE(link.roundTripMillis());
    for (double sample : {80.0, 45.0, 300.0, -5.0, double(NAN)}) {
        link.roundTrip(sample);
    }
    EXPECT_EQ(link.roundTripMillis(), 45);
    // An even stream, every fourth update missing.
    double at = 0;
    for (int i = 0; i < 240; ++i) {
        at += 1000.0 / 60;
        if (i % 4 != 3) {
            link.updateArrived(at);
        }
    }
    EXPECT_NEAR(link.loss(at), 0.25, 0.02);
    EXPECT_NEAR(link.loss(at + 5000), 1, 1e-9);
    LinkQuality even;
    for (int i = 0; i < 100; ++i) {
        even.updateArrived(i * 1000.0 / 60);
    }
    EXPECT_NEAR(even.jitterMillis(), 0, 1e-6);
    EXPECT_NEAR(even.loss(99 * 1000.0 / 60), 0, 1e-9);
    LinkQuality uneven;
    for (int i = 0; i < 100; ++i) {
        uneven.updateArrived(i * 1000.0 / 60 + (i % 2) * 8);
    }
    EXPECT_NEAR(uneven.jitterMillis(), 8, 0.2);
}

TEST(PlayerTrack, GoesBetweenReportsAheadForAWhileThenHoldsAndJumpsAsAJump) {
    PlayerTrack track;
    Orientation left = turned(ahead, 90);
    track.add(0, {vec3(100, 100, 100), ahead});
    track.add(20, {vec3(120, 100, 100), left});
    EXPECT_TRUE(near(track.at(10, 40).position, vec3(110, 100, 100), 1e-4f));
    EXPECT_NEAR(headingOf(track.at(10, 40).orientation), headingOf(left) / 2, 1e-3f);
    EXPECT_TRUE(near(track.at(-50, 40).position, vec3(100, 100, 100)));
    EXPECT_TRUE(near(track.at(40, 40).position, vec3(140, 100, 100), 1e-4f));
    EXPECT_TRUE(near(track.at(900, 40).position, vec3(160, 100, 100), 1e-4f));
    // Off to the respawn point and back somewhere else: no walk through the world.
    track.add(40, {vec3(-1000, -1000, -1000), ahead});
    track.add(60, {vec3(900, 100, 900), ahead});
    EXPECT_TRUE(near(track.at(30, 40).position, vec3(120, 100, 100)));
    EXPECT_TRUE(near(track.at(50, 40).position, vec3(-1000, -1000, -1000)));
    EXPECT_TRUE(near(track.at(70, 40).position, vec3(900, 100, 900)));
}

// The game shows the own view turned at once, and the others a little behind their reports.
TEST(ShownPlayers, TheOwnViewTurnsAtOnceUnlessSetOffAndOthersMoveSmoothly) {
    Game game;
    startTestGame(game);
    deliver(game, "s1");
    auto update = [&](double now, vec3 other) {
        deliver(game,
                updateDatagram({playerRecord('1', "me", vec3(500, 139, 500), vec3(0, 0, -1)),
                                playerRecord('2', "you", other)}),
                now);
        game.update(now);
    };
    update(0, vec3(100, 139, 100));
    game.mouseMoved(30, 0, 5);
    game.update(10);
    float heading = headingOf(game.shownPlayer('1')->getOrientation());
    EXPECT_NEAR(heading, -30 / 360.0f, 1e-5f);
    EXPECT_NEAR(headingOf(game.playerByID('1')->getOrientation()), 0, 1e-6f);
    game.settings.turnLocally = false;
    game.update(11);
    EXPECT_NEAR(headingOf(game.shownPlayer('1')->getOrientation()), 0, 1e-6f);

    for (int tick = 1; tick <= 10; ++tick) {
        update(tick * 1000.0 / 60, vec3(100 + 6 * tick, 139, 100));
    }
    double now = 10 * 1000.0 / 60;
    float shownX = game.shownPlayer('2')->getPosition().x;
    float expectedX = float(100 + 6 * (now - game.renderDelay()) * 60 / 1000);
    EXPECT_NEAR(shownX, expectedX, 1e-2f);
    EXPECT_EQ(game.playerByID('2')->getPosition().x, 160);
}

} // namespace
