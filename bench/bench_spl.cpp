// One game tick of the physics system (dt 1/60 s in 2 sub-steps, between lock and unlock as the game runs it)
// with the locked, non-solid shield at the centre, the central pull of 15 and bodies of radius 10 to 80, laid out
// two ways: "game", as the game places them, on the spawn circle of radius 1080 and stepped outwards by 10 until
// a place is free; "uniform", at random places in a square around the shield that the bodies cover by about a
// third. The baseline runs the same forces and integration but sends every pair to collideShapes.
//
// The system's tick is timed over one whole scene per run, from the layout to its last tick, so that every size
// and every build times the same ticks: those while the bodies fall in and pile up cost more than the later ones.
// The baseline, far too slow for whole scenes at the larger sizes, times the first ticks it has time for.

#include "spl/spl.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

namespace
{

constexpr double TICK_SECONDS = 1.0 / 60.0;
constexpr int SUB_STEPS = 2;
// Bodies fall inwards and pile up; a fresh scene every 10 seconds of game time keeps the layout the game's.
constexpr int TICKS_PER_SCENE = 600;

struct Body
{
    SPLVector position;
    double radius;
};

constexpr double MIN_RADIUS = 10.0;
constexpr double MAX_RADIUS = 80.0;
constexpr double SHIELD_RADIUS = 200.0;

// The game's test for a free place: taken when the squared distance to a body is below the sum of the squared
// radii.
bool taken(const std::vector<Body>& bodies, const SPLVector& p, double r)
{
    return std::any_of(bodies.begin(), bodies.end(),
                       [&](const Body& body)
                       { return p.to(body.position).squaredLength() < body.radius * body.radius + r * r; });
}

// The game's free-position search, except that each search starts near where the previous one ended instead of
// back at 1080: the inner rings are full by then, and the scene is built in a fraction of a second.
std::vector<Body> layOutGame(int count)
{
    std::mt19937 random(static_cast<unsigned>(count));
    std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi);
    std::uniform_real_distribution<double> radius(MIN_RADIUS, MAX_RADIUS);
    std::vector<Body> bodies;
    double distance = 1080.0;
    for (int i = 0; i < count; ++i)
    {
        const double r = radius(random);
        distance = std::max(1080.0, distance - 200.0);
        for (;;)
        {
            const double a = angle(random);
            const SPLVector p(std::cos(a) * distance, std::sin(a) * distance);
            if (!taken(bodies, p, r))
            {
                bodies.push_back({p, r});
                break;
            }
            distance += 10.0;
        }
    }
    return bodies;
}

// Free places drawn uniformly from a square around the shield, sized so that the bodies cover a third of it.
std::vector<Body> layOutUniform(int count)
{
    std::mt19937 random(static_cast<unsigned>(count));
    std::uniform_real_distribution<double> radius(MIN_RADIUS, MAX_RADIUS);
    const double meanArea =
        std::numbers::pi * (MIN_RADIUS * MIN_RADIUS + MIN_RADIUS * MAX_RADIUS + MAX_RADIUS * MAX_RADIUS) / 3.0;
    const double half = 0.5 * std::sqrt(3.0 * count * meanArea);
    std::uniform_real_distribution<double> coordinate(-half, half);
    std::vector<Body> bodies{{SPLVector(), SHIELD_RADIUS}};
    for (int i = 0; i < count; ++i)
    {
        const double r = radius(random);
        for (;;)
        {
            const SPLVector p(coordinate(random), coordinate(random));
            if (!taken(bodies, p, r))
            {
                bodies.push_back({p, r});
                break;
            }
        }
    }
    bodies.erase(bodies.begin());
    return bodies;
}

SPLSystem* buildScene(const std::vector<Body>& bodies)
{
    SPLSystem* system = createSystem();
    const int fixed = SPLLockKind::FIXED;
    const SPLSphere shield(SHIELD_RADIUS, 1.0, 2, 0.0, SPLVector(), SPLVector(), SPLVector(), 0.0, 0);
    system->addShape(SPLObjectLocker(shield, fixed, fixed, fixed));
    SPLVortex* pull = system->addVortex(SPLVortex(SPLVector(), SPLPolynomial(), SPLPolynomial(), 1.0, 1000000.0));
    pull->setRadial(SPLPolynomial(-15.0, 0.0, 0.0, 0.0));
    for (const Body& body : bodies)
        system->addShape(
            SPLSphere(body.radius, body.radius / 13.0, 1, 0.0, body.position, SPLVector(), SPLVector(), 0.0, 0));
    return system;
}

// The same forces and integration as SPLSystem::step, then every pair through collideShapes.
void allPairsStep(SPLSystem& system, double dt, std::vector<SPLShapePair>& collisions,
                  std::vector<SPLShapePair>& overlaps)
{
    const std::vector<SPLShape*>& shapes = system.shapes();
    for (SPLShape* shape : shapes)
    {
        shape->setForce(SPLVector());
        shape->setForce(shape->force() + scaled(-shape->drag(), shape->velocity()));
        for (const SPLVortex* vortex : system.vortices())
            shape->setForce(shape->force() + vortex->radialForce(shape->position()) +
                            vortex->tangentialForce(shape->position()));
        shape->integrate(dt);
    }
    for (std::size_t i = 0; i < shapes.size(); ++i)
    {
        for (std::size_t j = i + 1; j < shapes.size(); ++j)
            collideShapes(*shapes[i], *shapes[j], collisions, overlaps);
    }
}

using LayOut = std::vector<Body> (*)(int count);

template <typename Tick>
void runTicks(benchmark::State& state, LayOut layOut, Tick tick)
{
    const std::vector<Body> bodies = layOut(static_cast<int>(state.range(0)));
    SPLSystem* system = buildScene(bodies);
    int ticks = 0;
    double contacts = 0.0;
    for (auto _ : state)
    {
        if (ticks == TICKS_PER_SCENE)
        {
            state.PauseTiming();
            destroySystem(system);
            system = buildScene(bodies);
            ticks = 0;
            state.ResumeTiming();
        }
        contacts += static_cast<double>(tick(*system));
        ++ticks;
    }
    std::size_t largest = 0;
    const std::vector<SPLGroup> groups = system->findGroups();
    for (const SPLGroup& group : groups)
        largest = std::max(largest, group.size());
    state.counters["contacts"] = benchmark::Counter(contacts, benchmark::Counter::kAvgIterations);
    state.counters["groups"] = static_cast<double>(groups.size());
    state.counters["largest"] = static_cast<double>(largest);
    destroySystem(system);
}

void BM_SystemTick(benchmark::State& state, LayOut layOut)
{
    runTicks(state, layOut,
             [](SPLSystem& system)
             {
                 system.lock();
                 system.run(TICK_SECONDS, SUB_STEPS);
                 const std::size_t contacts = system.collisions().size() + system.overlaps().size();
                 system.unlock();
                 return contacts;
             });
}

void BM_AllPairsTick(benchmark::State& state, LayOut layOut)
{
    std::vector<SPLShapePair> collisions;
    std::vector<SPLShapePair> overlaps;
    runTicks(state, layOut,
             [&](SPLSystem& system)
             {
                 for (int i = 0; i < SUB_STEPS; ++i)
                     allPairsStep(system, TICK_SECONDS / SUB_STEPS, collisions, overlaps);
                 const std::size_t contacts = collisions.size() + overlaps.size();
                 collisions.clear();
                 overlaps.clear();
                 return contacts;
             });
}

void sizes(benchmark::internal::Benchmark* benchmark)
{
    for (const int count : {10, 100, 1000, 5000})
        benchmark->Arg(count);
    benchmark->Unit(benchmark::kMicrosecond);
}

void wholeScenes(benchmark::internal::Benchmark* benchmark)
{
    sizes(benchmark);
    benchmark->Iterations(TICKS_PER_SCENE);
}

} // namespace

BENCHMARK_CAPTURE(BM_SystemTick, game, layOutGame)->Apply(wholeScenes);
BENCHMARK_CAPTURE(BM_AllPairsTick, game, layOutGame)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SystemTick, uniform, layOutUniform)->Apply(wholeScenes);
BENCHMARK_CAPTURE(BM_AllPairsTick, uniform, layOutUniform)->Apply(sizes);
