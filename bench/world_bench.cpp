#include "FileLoader.h"
#include "Game.h"
#include "MapManager.h"
#include "ParticleManager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

namespace {

// The source tree always holds the map: without it the bench stops on the exception.
std::string arenaText() {
    return fileStringContents(std::string(CUBEFRAY_SOURCE_DIR) + "/resources/mapdata").value();
}

const MapManager& arena() {
    static MapManager map = [] {
        MapManager m;
        m.load(arenaText());
        return m;
    }();
    return map;
}

void lineOfSightAcrossTheArena(benchmark::State& state) {
    vec3 start(1024, 200, 300);
    vec3 dir = normalized(vec3(0.3f, -0.05f, 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(arena().pointOfIntersection(start, dir));
    }
}
BENCHMARK(lineOfSightAcrossTheArena);

void lineOfSightIntoTheSky(benchmark::State& state) {
    vec3 start(1024, 200, 1024);
    vec3 up(0, 1, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(arena().pointOfIntersection(start, up));
    }
}
BENCHMARK(lineOfSightIntoTheSky);

void particleUpdate(benchmark::State& state) {
    ParticleManager particles;
    for (auto _ : state) {
        state.PauseTiming();
        particles.particles.clear();
        for (int i = 0; i < state.range(0) / 30; ++i) {
            particles.addExplosion(30, vec3(1024, 300, 1024), vec4(0, 1, 1, 4), 12, 7);
        }
        state.ResumeTiming();
        particles.update(arena());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(particleUpdate)->Arg(120)->Arg(1200);

// A frame with one server update of four players all shooting: the roster, four marches and the
// effects.
void updateWithFourShooters(benchmark::State& state) {
    const PeerAddress server{0x7f000001, 4000};
    Game game;
    game.start("127.0.0.1", server.port, server, 0);
    game.mapManager.load(arenaText());
    std::vector<PlayerUpdate> records(4);
    const vec3 eyes[4] = {vec3(500, 139, 500), vec3(1500, 139, 500), vec3(1500, 139, 1500),
                          vec3(500, 139, 1500)};
    for (int i = 0; i < 4; ++i) {
        PlayerUpdate& r = records[size_t(i)];
        r.playerID = char('1' + i);
        std::strcpy(r.name, "bench");
        r.position = eyes[i];
        r.direction = normalized(vec3(1024, 139, 1024) - eyes[i]);
        r.shooting = 1;
    }
    const WireBytes update = encodeUpdate(records);
    std::cout.setstate(std::ios::failbit);
    game.receive(update.view(), server, 0);
    std::cout.clear();
    double now = 0;
    for (auto _ : state) {
        now += 1000.0 / 60;
        game.receive(update.view(), server, now);
        game.update(now);
        game.clearOutgoing();
        game.particleManager.particles.clear();
    }
}
BENCHMARK(updateWithFourShooters);

// A frame that takes 256 updates forged in the server's name, each naming four shooters: what an
// attacker who spoofs the server's address can cost. Argument 0: outside the map, aiming away
// from it; 1: inside, aiming across it.
void forgedUpdatesInOneFrame(benchmark::State& state) {
    const PeerAddress server{0x7f000001, 4000};
    Game game;
    game.start("127.0.0.1", server.port, server, 0);
    game.mapManager.load(arenaText());
    const bool across = state.range(0) == 1;
    std::vector<PlayerUpdate> records(4);
    for (int i = 0; i < 4; ++i) {
        PlayerUpdate& r = records[size_t(i)];
        r.playerID = char('1' + i);
        std::strcpy(r.name, "forged");
        r.position =
            across ? vec3(100 + 10 * float(i), 139, 100) : vec3(-50 - 10 * float(i), 300, -50);
        r.direction =
            normalized(across ? vec3(1, 0.01f * float(i), 1) : vec3(-1, 0.1f * float(i), -1));
        r.shooting = 1;
    }
    const WireBytes update = encodeUpdate(records);
    std::cout.setstate(std::ios::failbit);
    double now = 0;
    for (auto _ : state) {
        now += 1000.0 / 60;
        for (int i = 0; i < 256; ++i) {
            game.receive(update.view(), server, now);
        }
        game.update(now);
        game.clearOutgoing();
        game.particleManager.particles.clear();
    }
    std::cout.clear();
}
BENCHMARK(forgedUpdatesInOneFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void mapLoadAndMesh(benchmark::State& state) {
    std::string text = arenaText();
    for (auto _ : state) {
        MapManager map;
        map.load(text);
        benchmark::DoNotOptimize(map.buildModel());
    }
}
BENCHMARK(mapLoadAndMesh);

} // namespace
