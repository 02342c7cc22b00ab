// Converting the text fields of a 100,000-row table (six fields a row) between their bytes
// and UTF-8: today's direct Latin-1 conversion next to the table-driven code pages, on the
// same bytes.
//   build/release/bench/bench --benchmark_filter=Fields --benchmark_repetitions=5
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tag/code_page.h"
#include "tag/text_helpers.h"

namespace ambrel::test {
namespace {

constexpr int kFields = 100000 * 6;

// Field bytes as tags hold them: plain ASCII, a few accented letters, and a field made
// entirely of letters above 127 (Cyrillic in Windows-1251).
const std::vector<std::string>& FieldBytes() {
    static const std::vector<std::string> fields = [] {
        const char* const texts[] = {"Night Drive 1204",
                                     "Bj\xF6rk Tribute Band",
                                     "Fr\xFChling",
                                     "Collected Works",
                                     "1987",
                                     "ripped",
                                     "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0",
                                     "Ensemble Caf\xE9 Live at the Hall"};
        std::vector<std::string> list;
        list.reserve(kFields);
        for (int i = 0; i < kFields; ++i) list.emplace_back(texts[i % std::size(texts)]);
        return list;
    }();
    return fields;
}

void Report(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * kFields); }

void BM_FieldsDecodeLatin1Today(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& field : FieldBytes()) benchmark::DoNotOptimize(Latin1ToUtf8(field));
    }
    Report(state);
}

void BM_FieldsDecode(benchmark::State& state) {
    const auto page = static_cast<CodePage>(state.range(0));
    const CodePageConverter converter(page);
    state.SetLabel(std::string(CodePageId(page)));
    for (auto _ : state) {
        for (const std::string& field : FieldBytes()) {
            benchmark::DoNotOptimize(converter.Decode(field));
        }
    }
    Report(state);
}

// The decoded fields written back, as a batch fill or a table edit writes them.
std::vector<std::string> Decoded(const CodePageConverter& converter) {
    std::vector<std::string> texts;
    texts.reserve(FieldBytes().size());
    for (const std::string& field : FieldBytes()) texts.push_back(converter.Decode(field));
    return texts;
}

void BM_FieldsEncodeLatin1Today(benchmark::State& state) {
    const std::vector<std::string> texts = Decoded(CodePageConverter(CodePage::kLatin1));
    for (auto _ : state) {
        for (const std::string& text : texts) benchmark::DoNotOptimize(Utf8ToLatin1(text));
    }
    Report(state);
}

void BM_FieldsEncode(benchmark::State& state) {
    const auto page = static_cast<CodePage>(state.range(0));
    const CodePageConverter converter(page);
    state.SetLabel(std::string(CodePageId(page)));
    const std::vector<std::string> texts = Decoded(converter);
    for (auto _ : state) {
        for (const std::string& text : texts) benchmark::DoNotOptimize(converter.Encode(text));
    }
    Report(state);
}

constexpr auto kLatin1 = static_cast<int64_t>(CodePage::kLatin1);
constexpr auto kWindows1251 = static_cast<int64_t>(CodePage::kWindows1251);
constexpr auto kKoi8R = static_cast<int64_t>(CodePage::kKoi8R);

BENCHMARK(BM_FieldsDecodeLatin1Today)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldsDecode)
    ->Arg(kLatin1)
    ->Arg(kWindows1251)
    ->Arg(kKoi8R)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldsEncodeLatin1Today)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldsEncode)
    ->Arg(kLatin1)
    ->Arg(kWindows1251)
    ->Arg(kKoi8R)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
