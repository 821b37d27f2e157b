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

// One server update with four players all shooting: the roster, four marches and the effects.
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
    for (auto _ : state) {
        game.receive(update.view(), server, 0);
        game.particleManager.particles.clear();
    }
}
BENCHMARK(updateWithFourShooters);

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
