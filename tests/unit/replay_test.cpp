#include "FileLoader.h"
#include "Recorder.h"
#include "ReplayFolder.h"
#include "ReplayPlayer.h"
#include "game_driver.h"

#include <zlib.h>

namespace {

ReplayHeader header() {
    return {"127.0.0.1:4000", "alice", '1', "2026-12-07T11:52:03Z"};
}

// A replay file of the records, flushed after every few, finished or not.
std::string fileOf(const std::vector<ReplayRecord>& records, bool finished = true) {
    std::string file = replayHeaderText(header());
    ReplayCompressor compressor;
    for (size_t i = 0; i < records.size(); ++i) {
        compressor.add(records[i].millis, records[i].datagram, file);
        if (i % 3 == 2) {
            compressor.flush(file);
        }
    }
    finished ? compressor.finish(file) : compressor.flush(file);
    return file;
}

// A match of two players, 1 (the recorder) and 2, an update every 100 ms for two seconds;
// player 2 walks along x, 10 units an update.
std::vector<ReplayRecord> match() {
    std::vector<ReplayRecord> records{{0, "s1"}};
    for (uint32_t t = 0; t <= 2000; t += 100) {
        records.push_back(
            {t, updateDatagram({playerRecord('1', "alice", vec3(100, 139, 100)),
                                playerRecord('2', "bob", vec3(200 + t / 10.0f, 139, 300))})});
    }
    records.push_back({1500, "tsbob joined"});
    std::stable_sort(
        records.begin(), records.end(),
        [](const ReplayRecord& a, const ReplayRecord& b) { return a.millis < b.millis; });
    return records;
}

TEST(ReplayFile, WhatIsWrittenReadsBackAndADamagedFilePlaysWhatIsSound) {
    std::vector<ReplayRecord> records = match();
    Replay sound = readReplay(fileOf(records));
    EXPECT_EQ(sound.problem, "");
    EXPECT_EQ(sound.header.name, "alice");
    EXPECT_EQ(sound.header.playerID, '1');
    ASSERT_EQ(sound.records.size(), records.size());
    EXPECT_EQ(sound.records.back().datagram, records.back().datagram);

    // A recording cut short (the player's machine went down) keeps every whole record.
    std::string live = fileOf(records, false);
    Replay unfinished = readReplay(live);
    EXPECT_EQ(unfinished.records.size(), records.size());
    EXPECT_EQ(unfinished.problem, "the file ends early");
    size_t stream = replayHeaderText(header()).size();
    for (size_t cut : {stream, stream + 10, live.size() / 2, live.size() - 3}) {
        Replay part = readReplay(std::string_view(live).substr(0, cut));
        EXPECT_LE(part.records.size(), records.size());
        EXPECT_EQ(part.problem, "the file ends early") << cut;
    }
    std::string damaged = live;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_NE(readReplay(damaged).problem, "");

    EXPECT_EQ(readReplay("CFREPLAZ" + live.substr(8)).problem, "it is not a Cubefray replay");
    EXPECT_EQ(readReplay("CFREPLAYversion=2\n\n").problem,
              "version 2 is not one this client plays");
    EXPECT_EQ(readReplay("CFREPLAYname=x\n\n").problem, "the header names no version");
    EXPECT_EQ(readReplay("CFREPLAYversion=1").problem, "its header has no end");
    // Records that break the format: too long for a datagram, times going backwards.
    std::string tooLong = replayHeaderText(header());
    ReplayCompressor compressor;
    compressor.add(5, "s1", tooLong);
    compressor.add(9, std::string(600, 'u'), tooLong);
    compressor.finish(tooLong);
    Replay cut = readReplay(tooLong);
    EXPECT_EQ(cut.records.size(), 1u);
    EXPECT_EQ(cut.problem, "a record claims 600 bytes, more than a datagram");
    EXPECT_EQ(readReplay(fileOf({{50, "s1"}, {40, "s1"}})).problem, "the times go backwards");
}

TEST(ReplayPlayer, PlaysAtTheRecordedTimesJumpsPausesAndFollowsAnyEye) {
    MapManager map = loadedMap(mapText(10, 4, 10, [](int, int y, int) { return y == 0; }));
    testing::internal::CaptureStdout();
    ReplayPlayer player(readReplay(fileOf(match())), map, 1000);
    EXPECT_EQ(player.length(), 2000);
    player.advance(1500);
    EXPECT_EQ(player.position(), 500);
    EXPECT_EQ(player.game().clientPlayerID, '1');
    EXPECT_EQ(player.game().playerByID('2')->getPosition().x, 250);
    EXPECT_TRUE(player.game().outgoing().empty());
    player.faster();
    player.advance(1750);
    EXPECT_EQ(player.position(), 1000);
    for (int i = 0; i < 5; ++i) {
        player.faster();
    }
    EXPECT_EQ(player.pace(), ReplayPlayer::maxSpeed);
    player.togglePause();
    player.advance(3000);
    EXPECT_EQ(player.position(), 1000);
    // A jump starts anew from the update nearest the target: the chat of before is gone.
    player.jump(-ReplayPlayer::jumpMillis);
    EXPECT_EQ(player.position(), 0);
    player.jump(1600);
    EXPECT_EQ(player.game().playerByID('2')->getPosition().x, 360);
    EXPECT_TRUE(player.game().chatLines.empty());
    player.follow(1);
    EXPECT_EQ(player.game().clientPlayerID, '2');
    EXPECT_EQ(player.followedName(), "bob");
    // From the free camera every player is someone else's; the end holds the last frame.
    player.toggleFreeCamera();
    EXPECT_NE(player.freeCamera(), nullptr);
    EXPECT_EQ(player.followedName(), "");
    player.togglePause();
    player.advance(9000);
    EXPECT_TRUE(player.atEnd());
    EXPECT_EQ(player.game().clientPlayerID, 0);
    player.toggleFreeCamera();
    EXPECT_EQ(player.game().clientPlayerID, '2');
    testing::internal::GetCapturedStdout();
}

TEST(ReplayFolder, NamesSortByTimeAndTheOldestGoBeyondWhatIsKept) {
    EXPECT_EQ(replayFileName(0, "game.example:4000"),
              "1970-01-01T00-00-00Z_game.example-4000.cfreplay");
    std::string folder = ::testing::TempDir() + "replays_" + std::to_string(getpid());
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(makeRoomForReplay(folder, 3), "");
        std::ofstream(folder + "/" + replayFileName(i * 60, "h:1"), std::ios::binary)
            << fileOf({{uint32_t(i), "s1"}});
    }
    std::vector<ReplayListing> kept = listReplays(folder);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].length, 4);
    EXPECT_EQ(kept[2].length, 2);
    EXPECT_EQ(kept[0].header.server, "127.0.0.1:4000");
    EXPECT_NE(makeRoomForReplay("/proc/no/replays", 20), "");
}

} // namespace

namespace {

// The recorder keeps what came before the server's answer, and writes nothing without one.
TEST(Recorder, WritesFromTheJoinOnceAdmittedAndSaysWhyItCannot) {
    std::string path = ::testing::TempDir() + "recorded_" + std::to_string(getpid()) + ".cfreplay";
    Recorder recorder;
    recorder.begin(path, 1000);
    recorder.record("s1", 1007);
    recorder.admitted(header());
    for (int i = 0; i < 100; ++i) {
        recorder.record(updateDatagram({playerRecord('1', "alice", vec3(float(i), 0, 0))}),
                        1024 + i * 16.7);
    }
    recorder.end();
    Replay replay = readReplay(readFileBytes(path, 1 << 20).bytes);
    EXPECT_EQ(replay.problem, "");
    ASSERT_EQ(replay.records.size(), 101u);
    EXPECT_EQ(replay.records[0].millis, 7u);
    EXPECT_EQ(replay.records[0].datagram, "s1");
    EXPECT_EQ(replay.records[100].millis, uint32_t(24 + 99 * 16.7));
    EXPECT_EQ(replay.header.name, "alice");

    std::string never = path + ".never";
    recorder.begin(never, 0);
    recorder.record("f", 5);
    recorder.end();
    EXPECT_FALSE(std::ifstream(never).good());
    EXPECT_EQ(recorder.takeFailure(), "");

    recorder.begin("/proc/cannot/be/written.cfreplay", 0);
    recorder.admitted(header());
    recorder.end();
    EXPECT_NE(recorder.takeFailure(), "");
    EXPECT_EQ(recorder.takeFailure(), "");
}

} // namespace
