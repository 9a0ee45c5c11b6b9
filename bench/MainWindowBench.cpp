// The result view with 10,000 rows: one paint of the view, and one refresh after a change.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QScrollBar>
#include <cstdlib>

#include "core/app/SearchDriver.h"
#include "gui/app/ResultView.h"
#include "gui/common/Fonts.h"

namespace {

class TBenchSite : public cq::TSite {
 public:
  std::string GetName() const override { return "tones.example"; }
  std::string GetHomePage() const override { return "http://tones.example/"; }
  void Search(const std::string&, cq::TMelodyList&, const cq::TFetchContext&) const override {}
  void LoadMelodyPage(cq::TMelody&, const cq::TFetchContext&) const override {}
};

struct TNullSink : cq::TJobSink {
  void SaveCompleted(const cq::TJob&) override {}
  void PlayCompleted(const cq::TJob&) override {}
};

// 10,000 rows: ready melodies with buttons, waiting ones and a few site rows.
struct TViewRig {
  TBenchSite site;
  TNullSink sink;
  cq::TSearchDriver driver{{}, sink, {}};
  QWidget host;
  QScrollBar* bar = new QScrollBar(Qt::Vertical, &host);
  cq::TResultView* view = new cq::TResultView(driver, *bar, {}, &host);
  QImage screen{400, 600, QImage::Format_ARGB32_Premultiplied};

  TViewRig() {
    auto* layout = new QHBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view, 1);
    layout->addWidget(bar);
    host.resize(416, 600);
    for (int i = 0; i < 10000; ++i) {
      cq::TResult row;
      row.Kind = i % 500 == 0 ? cq::rkSite : cq::rkMelody;
      row.Site = &site;
      row.Melody.Title = "Melody number " + std::to_string(i);
      row.Melody.PageURL = "http://tones.example/m/" + std::to_string(i) + ".html";
      row.Melody.Site = &site;
      row.Melody.Processed = i % 3 != 0;
      row.Waiting = !row.Melody.Processed;
      row.Melody.Links[cq::fmMidi] = {{"MIDI", "http://tones.example/a.mid"}};
      row.Melody.Links[cq::fmMp3] = {{"MP3", "http://tones.example/a.mp3"}};
      driver.Results().Append(std::move(row));
    }
    driver.Results().MarkChanged();
    view->RefreshResults();
    layout->activate();
    driver.SelectRow(5);
  }
};

TViewRig& Rig() {
  static TViewRig rig;
  return rig;
}

void BM_PaintView(benchmark::State& state) {
  TViewRig& rig = Rig();
  for (auto _ : state) {
    rig.view->render(&rig.screen);
    benchmark::DoNotOptimize(rig.screen.constBits());
  }
}
BENCHMARK(BM_PaintView)->Unit(benchmark::kMillisecond);

void BM_RefreshResults(benchmark::State& state) {
  TViewRig& rig = Rig();
  for (auto _ : state) {
    rig.driver.Results().MarkChanged();
    rig.view->RefreshResults();
  }
}
BENCHMARK(BM_RefreshResults)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  cq::InstallFontSubstitutes();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
