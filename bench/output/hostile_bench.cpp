// Hostile stroke histories (tests/support/hostile_documents.h): the sheet picture at the size
// of the page, and every entry drawn on the page views as a redraw from the first entry does.
#include <benchmark/benchmark.h>

#include "history/navigation.h"
#include "output/sheet_picture.h"
#include "tests/support/hostile_documents.h"

namespace {

using namespace zevo;

// The test's hostile histories, and one that only a benchmark should wait for: a single stroke
// of 60 000 discs (about 1 MB on disk) that each cover the sheet.
std::vector<test::HostileDocument> MakeDocuments() {
  std::vector<test::HostileDocument> docs = test::HostileDocuments();
  auto discs = std::make_unique<ink::StrokeDocument>(1024, 718);
  for (int i = 0; i < 60000; ++i) discs->AddSample(float(i % 1000), 300, 3e8f);
  discs->AddSample(0, 0, 0);
  docs.push_back({"page_sized_discs_60000", std::move(discs)});
  return docs;
}

std::vector<test::HostileDocument>& Documents() {
  static std::vector<test::HostileDocument> docs = MakeDocuments();
  return docs;
}

void SheetPicture(benchmark::State& state) {
  test::HostileDocument& h = Documents()[std::size_t(state.range(0))];
  state.SetLabel(h.name);
  output::SheetInputs in;
  in.live = h.doc.get();
  for (auto _ : state) benchmark::DoNotOptimize(output::RenderSheetPicture(1024, 718, in));
}

void PageViewsRedraw(benchmark::State& state) {
  test::HostileDocument& h = Documents()[std::size_t(state.range(0))];
  state.SetLabel(h.name);
  history::HistoryPlayer player(1024, 718);
  ink::StrokeDocument& live = player.Document();
  for (int i = 0; i < h.doc->Count(); ++i) {
    const ink::Stroke& e = *h.doc->Entry(i);
    if (e.kind == ink::StrokeKind::Ink) {
      live.SetInkColor(e.value);
      for (const auto& s : e.samples) live.AddSample(s.x, s.y, s.radius);
    } else if (e.kind == ink::StrokeKind::Fill) {
      live.AddFill(e.value, e.x, e.y);
    }
  }
  player.ShowWhole();
  ink::PageViews views;
  seals::SheetPages sheet;
  history::Navigator n{player, views, sheet, nullptr};
  for (auto _ : state) {
    player.Cache().Forget();
    history::FullRedraw(n);
  }
}

void AllDocuments(benchmark::internal::Benchmark* b) {
  for (std::size_t i = 0; i < Documents().size(); ++i) b->Arg(int(i));
  b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
}

BENCHMARK(SheetPicture)->Apply(AllDocuments);
BENCHMARK(PageViewsRedraw)->Apply(AllDocuments);

}  // namespace
