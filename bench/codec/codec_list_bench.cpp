// Cost of one codec lookup in db.txt, file opening included, as the program and the
// command-line tool make it for every file: common codes, the raw RGB code (four zero
// bytes), codes further down the list and a code no line matches.
// Usage: codec_list_bench [benchmark options] [LIST]   (LIST: the shipped db.txt by default)

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app/codec_list.h"

namespace {

std::filesystem::path listFile = TAMSO_DB_TXT;

void BM_Lookup(benchmark::State& state, const std::string& code) {
  for (auto _ : state) benchmark::DoNotOptimize(tamso::LookupCodecDescription(listFile, code));
  state.SetLabel(tamso::LookupCodecDescription(listFile, code).empty() ? "no line" : "found");
}
// The first codes of the list are those met most often; the others follow in table order.
BENCHMARK_CAPTURE(BM_Lookup, XVID, std::string("XVID"));
BENCHMARK_CAPTURE(BM_Lookup, H264, std::string("H264"));
BENCHMARK_CAPTURE(BM_Lookup, MJPG, std::string("MJPG"));
BENCHMARK_CAPTURE(BM_Lookup, raw_RGB_zero_bytes, std::string(4, '\0'));
BENCHMARK_CAPTURE(BM_Lookup, cvid, std::string("cvid"));
BENCHMARK_CAPTURE(BM_Lookup, VP62, std::string("VP62"));
BENCHMARK_CAPTURE(BM_Lookup, YUVP, std::string("YUVP"));
BENCHMARK_CAPTURE(BM_Lookup, unknown_code, std::string("QQQQ"));

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 2 || (argc == 2 && std::string_view(argv[1]).starts_with("-")))
    return benchmark::ReportUnrecognizedArguments(argc, argv) ? 1 : 0;
  if (argc == 2) listFile = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
