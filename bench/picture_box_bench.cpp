// What one key costs on an ordering screen: the screen is cleared, fifteen
// lines and eight rules are drawn, and the next frame paints them. A key has
// to be handled well within one frame (16 ms).
#include "widgets/picture_box.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void draw_queue_screen(PictureBox& box) {
    box.clear();
    const double band = box.scale_height() / 10;
    for (int row = 1; row <= 8; ++row) {
        const double y = row * band + 1;
        box.fill_box({0, y}, {box.scale_width(), y + 10}, QColor(0, 255, 0));
        box.move_to(0, y - 0.75 * band);
        box.print_inline(QString::number(row) + ".");
        box.print("   月亮代表我的心--鄧麗君");
    }
    box.move_to(0, 9 * band + 1 - 0.8 * band);
    for (int line = 0; line < 7; ++line) box.print("     第 1 頁 曲目點歌 選 \"0\" 可回主目錄");
}

// The text area of a 1920 x 1080 screen, or of a 3840 x 2160 one at
// `scale` 2.
struct Screen {
    explicit Screen(int scale = 1) {
        box.resize(1536 * scale, 1080 * scale);
        box.set_back_color(QColor(0, 0, 128));
        box.set_fore_color(QColor(255, 255, 0));
        box.set_font_size(81 * scale);
    }
    PictureBox box;
};

void BM_DrawScreen(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        draw_queue_screen(screen.box);
        benchmark::DoNotOptimize(screen.box.items().size());
    }
}
BENCHMARK(BM_DrawScreen)->Unit(benchmark::kMicrosecond);

void BM_DrawAndPaintScreen(benchmark::State& state) {
    Screen screen(int(state.range(0)));
    QImage frame(screen.box.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        draw_queue_screen(screen.box);
        screen.box.render(&frame);
    }
}
BENCHMARK(BM_DrawAndPaintScreen)->ArgName("scale")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The first paint of titles whose characters were never shown before: Qt
// has to render every glyph once (eight rows of ten new characters).
void BM_PaintUnseenCharacters(benchmark::State& state) {
    Screen screen;
    QImage frame(screen.box.size(), QImage::Format_RGB32);
    char16_t next = 0x4E00;  // start of the CJK ideographs
    for (auto _ : state) {
        screen.box.clear();
        for (int row = 0; row < 8; ++row) {
            QString title;
            for (int i = 0; i < 10; ++i) title += QChar(next++);
            screen.box.print(title);
        }
        screen.box.render(&frame);
    }
}
BENCHMARK(BM_PaintUnseenCharacters)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont::insertSubstitution("標楷體", "AR PL UKai TW");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
