// Reading a 20 MB value stream of short strings and integers: from a file
// through TFileStream and TReader, against a minimal loop that decodes the
// same tags from the same bytes already in memory.
#include "runtime/core/Failures.h"
#include "streams/core/FileStream.h"
#include "streams/core/Reader.h"
#include "vswriter/ValueWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t kStreamSize = 20u << 20;

// signature, list, (integer, short string) pairs, end.
const std::string& StreamBytes() {
  static const std::string bytes = [] {
    TValueWriter w;
    w.Signature();
    w.BeginList();
    for (int32_t i = 0; w.Size() < kStreamSize; ++i) {
      w.Int(i % 3 == 0 ? i % 100 : i % 3 == 1 ? i % 30000 : i);
      w.Str("Text " + std::to_string(i % 100000));
    }
    w.End();
    return w.Data();
  }();
  return bytes;
}

const std::string& StreamFile() {
  static const std::string path = [] {
    std::string p = "/tmp/reader_bench_" + std::to_string(getpid()) + ".bin";
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(StreamBytes().data(), 1, StreamBytes().size(), f);
    std::fclose(f);
    return p;
  }();
  return path;
}

void BM_FileThroughReader(benchmark::State& state) {
  const std::string& path = StreamFile();
  for (auto _ : state) {
    TFileStream stream(path, fmOpenRead | fmShareDenyNone);
    TReader reader(stream, 4096);
    reader.CheckSignature();
    reader.EnterList();
    int64_t sum = 0;
    size_t length = 0;
    while (!reader.AtListEnd()) {
      sum += reader.ReadIntValue();
      length += reader.ReadStrValue().size();
    }
    reader.LeaveList();
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(length);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * StreamBytes().size());
}

// The same decoding, straight from memory: no stream, no chunk, no checks
// beyond the tags.
void BM_MemoryLoop(benchmark::State& state) {
  const std::string& bytes = StreamBytes();
  for (auto _ : state) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (std::memcmp(p, "TPF0", 4) != 0 || p[4] != tgList) state.SkipWithError("bad stream");
    p += 5;
    int64_t sum = 0;
    size_t length = 0;
    for (;;) {
      uint8_t tag = *p++;
      if (tag == tgEnd) break;
      int32_t value;
      if (tag == tgInt8) { value = static_cast<int8_t>(*p); p += 1; }
      else if (tag == tgInt16) { int16_t v; std::memcpy(&v, p, 2); value = v; p += 2; }
      else { std::memcpy(&value, p, 4); p += 4; }
      sum += value;
      ++p;  // the short string's tag
      uint8_t n = *p++;
      std::string text(reinterpret_cast<const char*>(p), n);
      p += n;
      length += text.size();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(length);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
}

}  // namespace

BENCHMARK(BM_FileThroughReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryLoop)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(StreamFile().c_str());
  return 0;
}
