// The caller's time for one PAY on an instant simulated terminal, beside a
// baseline that parses the same request and formats the same result document
// without a device, and beside the counter store's own work (two reads and a
// write per payment). Each benchmark reports the median and the 99th
// percentile of single calls; the summary at the end gives the ratios.
//   build/linux/bench/pay_bench
//   QV_BENCH_DIR=/dev/shm build/linux/bench/pay_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/setup.h"
#include "host/result_documents.h"
#include "pay_host.h"
#include "payment/payment_handler.h"
#include "platform/registry.h"

namespace {

std::map<std::string, std::pair<double, double>> gFigures;  // name -> median, p99 in microseconds

template <typename Body>
void Timed(benchmark::State& aState, const std::string& aName, Body aBody) {
  std::vector<double> samples;
  samples.reserve(100000);
  for (auto _ : aState) {
    const auto start = std::chrono::steady_clock::now();
    aBody();
    samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(samples.begin(), samples.end());
  const double median = samples[samples.size() / 2];
  const double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  aState.counters["median_us"] = median;
  aState.counters["p99_us"] = p99;
  gFigures[aName] = {median, p99};
}

// The scenario and the counter store live below QV_BENCH_DIR (default /tmp):
// run once on a disk folder and once on a memory file system (/dev/shm) to
// see what the store's flushes cost.
std::string WorkDir() {
  static std::string dir = [] {
    const char* base = std::getenv("QV_BENCH_DIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qv-pay-bench-XXXXXX";
    return std::string(mkdtemp(pattern.data()));
  }();
  return dir;
}

qvbench::PayHost& Host() {
  static qvbench::PayHost* host = [] {
    auto* h = new qvbench::PayHost(WorkDir());
    auto* open = h->Alloc(h->OpenRequest());
    if (h->Call(h->Open(), open) != 0) std::abort();
    h->Free(open);
    return h;
  }();
  return *host;
}

void BM_Pay(benchmark::State& aState) {
  qvbench::PayHost& host = Host();
  auto* request = host.Alloc(qvbench::PayHost::PayRequest());
  Timed(aState, "pay", [&] {
    if (host.Call(host.Pay(), request) != 0) std::abort();
  });
  host.Free(request);
}

void BM_ParseAndFormat(benchmark::State& aState) {
  const std::u16string request = qvbench::PayHost::PayRequest();
  qv::_int_PAY_result result;
  result.DeviceId = u"TERM";
  result.MaskedPAN = u"************4242";
  result.ReceiptText = u"ZELQ DEMO SHOP          \r\nCARD PAYMENT            \r\nAMOUNT EUR 12.50        \r\n";
  Timed(aState, "baseline", [&] {
    qv::qPaymentHandler handler;
    handler.Deserialize(request, qv::dt_Pay);
    benchmark::DoNotOptimize(qv::FormatPayDocument(result));
  });
}

void BM_CounterStore(benchmark::State& aState) {
  Host();  // the same store folder as the payments use
  Timed(aState, "store", [&] {
    // What one approved payment asks of the store: read, read, write.
    qv::ReadRegistryString(u"ZELQ_Counter", u"STD-0009999-00012-003", qv::rk_CurrentUser);
    const std::u16string n = qv::ReadRegistryString(u"ZELQ_Counter", u"STD-0009999-00012-003", qv::rk_CurrentUser);
    qv::WriteRegistryString(u"ZELQ_Counter", u"STD-0009999-00012-003", qv::IntToStr(qv::StrToIntDef(n, 0) + 1),
                            qv::rk_CurrentUser);
  });
}

BENCHMARK(BM_Pay)->Iterations(20000);
BENCHMARK(BM_ParseAndFormat)->Iterations(20000);
BENCHMARK(BM_CounterStore)->Iterations(20000);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gFigures.count("pay") && gFigures.count("baseline") && gFigures.count("store")) {
    const auto [pay, payP99] = gFigures["pay"];
    const auto [base, baseP99] = gFigures["baseline"];
    const auto [store, storeP99] = gFigures["store"];
    std::printf("\nPAY median %.1f us (p99 %.1f us); baseline median %.1f us (p99 %.1f us); store median %.1f us\n",
                pay, payP99, base, baseP99, store);
    std::printf("ratio with the counter store: %.2f\n", pay / base);
    std::printf("ratio without the counter store (PAY median less the store's median): %.2f\n",
                (pay - store) / base);
  }
  return 0;
}
