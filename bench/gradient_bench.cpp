// The strip's costs: rebuilding the 64-band colour table (once per change of
// the gradient) and working out the blocks of one paint (once per paint).
#include "ui/panels/core/Gradient.h"

#include <benchmark/benchmark.h>

static void StripTableRebuild(benchmark::State& state) {
  TFxGradient g;
  g.SetColor(clWhite);
  g.SetEndColor(clBlue);
  g.SetColorCount(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    g.Rebuild();
    benchmark::DoNotOptimize(g.Bands().data());
  }
  state.counters["bands"] = static_cast<double>(g.Bands().size());
}
BENCHMARK(StripTableRebuild)->Arg(64)->Arg(236);

static void StripPaintBlocks(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  size_t blocks = 0;
  for (auto _ : state) {
    auto geometry = SquareGeometry(width, 3, 64);
    blocks = geometry.size();
    benchmark::DoNotOptimize(geometry.data());
  }
  state.counters["rectangles_per_paint"] = static_cast<double>(blocks);
}
BENCHMARK(StripPaintBlocks)->Arg(365)->Arg(3650);

BENCHMARK_MAIN();
