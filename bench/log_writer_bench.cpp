// What the log writer costs its caller, how fast its thread empties the
// queue compared with a plain open-append-close loop, and whether an idle
// writer's thread wakes up at all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "log/log_writer.h"
#include "platform/file_system.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A fresh directory per benchmark run, removed again afterwards.
class ScratchDir {
 public:
  explicit ScratchDir(const char* aName)
      : fPath(fs::temp_directory_path() /
              (std::string("qv_bench_") + aName + "_" +
               std::to_string(Clock::now().time_since_epoch().count()))) {
    fs::create_directories(fPath);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(fPath, ec);
  }
  const fs::path& Path() const { return fPath; }

 private:
  fs::path fPath;
};

// A message of the length a device log typically carries.
const std::u16string kMessage =
    u"Send: 02 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 03 (18 bytes) to terminal";

// The caller's cost of one Write, timed call by call so that the median and
// the 99th percentile can be reported; the thread writes in the background
// meanwhile, as it does in use.
void BM_Write(benchmark::State& aState) {
  ScratchDir dir("write");
  auto writer = std::make_unique<tQV_LogWriter>(u"Bench", dir.Path().u16string(), 0, true);
  std::vector<double> times;
  times.reserve(static_cast<size_t>(aState.max_iterations));
  for (auto _ : aState) {
    const auto start = Clock::now();
    writer->Write(let_info, kMessage);
    const auto stop = Clock::now();
    const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
    times.push_back(ns);
    aState.SetIterationTime(ns * 1e-9);
  }
  writer.reset();  // drains the queue; not part of any Write's time
  std::sort(times.begin(), times.end());
  aState.counters["median_ns"] = times[times.size() / 2];
  aState.counters["p99_ns"] = times[times.size() * 99 / 100];
  aState.counters["max_ns"] = times.back();
}
BENCHMARK(BM_Write)->Iterations(100000)->UseManualTime();

// Lines per second: the log thread draining a queue, against a plain loop
// that opens, appends one line and closes the same kind of file, in the same
// run and on the same disk.
void BM_ThreadVsPlainLoop(benchmark::State& aState) {
  const int lines = static_cast<int>(aState.range(0));
  double threadRate = 0, plainRate = 0;
  for (auto _ : aState) {
    {
      ScratchDir dir("plain");
      const std::u16string name = JoinPath(dir.Path().u16string(), u"Plain.log");
      const std::string bytes = "2024-01-31 14:05:09:123 - " + ToUtf8(kMessage) + "\r\n";
      const auto start = Clock::now();
      for (int i = 0; i < lines; ++i) AppendToFile(name, bytes);
      plainRate = lines / std::chrono::duration<double>(Clock::now() - start).count();
    }
    {
      ScratchDir dir("thread");
      const auto start = Clock::now();
      {
        tQV_LogWriter writer(u"Thread", dir.Path().u16string(), 0, true);
        for (int i = 0; i < lines; ++i) writer.Write(let_info, kMessage);
      }  // the destructor returns once every line is in the file
      threadRate = lines / std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  aState.counters["thread_lines_per_s"] = threadRate;
  aState.counters["plain_lines_per_s"] = plainRate;
  aState.counters["thread_vs_plain"] = threadRate / plainRate;
}
BENCHMARK(BM_ThreadVsPlainLoop)->Arg(20000)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// An idle writer over 10 seconds: how often its thread woke up.
void BM_IdleWakeUps(benchmark::State& aState) {
  ScratchDir dir("idle");
  uint64_t wakeUps = 0;
  for (auto _ : aState) {
    tQV_LogWriter writer(u"Idle", dir.Path().u16string(), 0, true);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    wakeUps = writer.ThreadWakeUps();
  }
  aState.counters["wake_ups"] = static_cast<double>(wakeUps);
}
BENCHMARK(BM_IdleWakeUps)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace qv

BENCHMARK_MAIN();
