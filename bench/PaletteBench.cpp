#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "KestlesCore/assistant/EmbeddedAssistant.hpp"
#include "KestlesCore/palette/PaletteIndex.hpp"

namespace kestles {
namespace {

/// A thousand items the size of a large library and a busy desktop: kestles, layouts and
/// window titles made of ordinary and accented words, each with a subtitle and keywords.
std::vector<PaletteItem> thousandItems() {
  constexpr std::array<std::string_view, 16> kWords{
      "Tile",  "Windows", "Left",   "Half",    "Café",   "Réunion", "Deep",  "Work",
      "Inbox", "Écrit",   "Studio", "Display", "Spiral", "Grid",    "Naïve", "Notes"};
  std::vector<PaletteItem> items;
  for (std::size_t i = 0; i < 1000; ++i) {
    std::string title;
    for (std::size_t w = 0; w < 2 + i % 4; ++w) {
      if (w) title.push_back(' ');
      title.append(kWords[(i * 7 + w * 5) % kWords.size()]);
    }
    title.push_back(' ');
    title.append(std::to_string(i));
    auto section = static_cast<PaletteSection>(i % 9);
    items.push_back({{PaletteAction::Window{static_cast<std::uint32_t>(i)}},
                     section,
                     title,
                     std::string(kWords[i % kWords.size()]) + " — Firefox",
                     std::nullopt,
                     {std::string(kWords[(i + 3) % kWords.size()]), "Arrange"}});
  }
  return items;
}

void BM_PaletteSearch(benchmark::State& state, const char* query) {
  PaletteIndex index(thousandItems());
  for (auto _ : state)
    benchmark::DoNotOptimize(index.search(query));
}
BENCHMARK_CAPTURE(BM_PaletteSearch, TwoLetters, "tw")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PaletteSearch, Words, "left half")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PaletteSearch, Accented, "CAFÉ réu")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PaletteSearch, NoMatch, "qqq")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

/// Folding every title and keyword once, as the palette does when it opens.
void BM_PaletteIndex(benchmark::State& state) {
  auto items = thousandItems();
  for (auto _ : state)
    benchmark::DoNotOptimize(PaletteIndex(items));
}
BENCHMARK(BM_PaletteIndex)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

Assistant::Situation desktop() {
  World world;
  world.setup.displays = {
      {"BUILTIN", "Built-in Retina Display", {0, 0, 1512, 982}, {0, 38, 1512, 944}, true, true},
      {"STUDIO", "Studio Display", {1512, 0, 2560, 1440}, {1512, 25, 2560, 1415}}};
  world.apps = {{1, "org.mozilla.firefox", "Firefox", false},
                {2, "code", "Visual Studio Code", false},
                {3, "org.gnome.Terminal", "GNOME Terminal", false}};
  std::vector<AppRef> installed;
  for (int i = 0; i < 80; ++i)
    installed.push_back(
        {"org.example.app" + std::to_string(i), "Example App " + std::to_string(i)});
  installed.push_back({"org.mozilla.Thunderbird", "Thunderbird"});
  return Assistant::Situation::of(world, installed);
}

void BM_EmbeddedAssistant(benchmark::State& state, const char* sentence) {
  auto situation = desktop();
  if (!std::holds_alternative<AssistantIdea>(EmbeddedAssistant::read(sentence, situation)))
    state.SkipWithError("no idea");
  for (auto _ : state)
    benchmark::DoNotOptimize(EmbeddedAssistant::read(sentence, situation));
}
BENCHMARK_CAPTURE(BM_EmbeddedAssistant, Halves,
                  "Firefox on the left half and a terminal on the right")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EmbeddedAssistant, ThirdsOnExternal,
                  "code two thirds left, terminal third right on the external display")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EmbeddedAssistant, FullOnDisplay2, "mail full screen on display 2")
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestles
