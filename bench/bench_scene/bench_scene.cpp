// Composing the main scene: a 724 x 380 design picture of about seventy
// bitmap layers (rooms, overlays, tints, ducts, fan frames) plus sixteen
// arrows, at three scale factors. Full repaint against the repaint of two
// 50 x 50 rectangles, which is what one arrow step costs.
#include "gr32/GR32.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

TBitmapLayer* addLayer(TLayerCollection& c, float scale, int x, int y, int w, int h, TColor32 color,
                       bool blend, bool visible)
{
    auto* l = new TBitmapLayer(&c);
    l->Bitmap().SetSize(w, h);
    l->Bitmap().Clear(color);
    // A soft edge, as the masks give the overlays.
    for (int i = 0; i < w; ++i)
        l->Bitmap().SetPixel(i, 0, color & 0x40FFFFFF);
    l->Bitmap().SetDrawMode(blend ? TDrawMode::dmBlend : TDrawMode::dmOpaque);
    l->Bitmap().SetMasterAlpha(blend ? 170 : 255);
    l->SetLocation({x * scale, y * scale, (x + w) * scale, (y + h) * scale});
    l->SetMouseEvents(false);
    l->SetVisible(visible);
    return l;
}

struct Scene {
    explicit Scene(float scale)
    {
        image = std::make_unique<TImage32>();
        image->resize(int(724 * scale + 0.5f), int(380 * scale + 0.5f));
        auto& c = image->Layers();
        for (int room = 0; room < 4; ++room) {
            const int x = 74 + 162 * room;
            addLayer(c, scale, x, 212, 162, 168, Color32(200, 190, 170), false, true);
            const int overlays = (room == 0 || room == 3) ? 13 : 5;
            for (int i = 0; i < overlays; ++i)  // cold, hot, sun: a few of them shown
                addLayer(c, scale, x, 212, 162, 168, Color32(230, 80, 40), true, i % 3 == 0);
            addLayer(c, scale, x, 212, 162, 168, Color32(46, 127, 224), true, true);  // tint
            auto* spot = new TPositionedLayer(&c);
            spot->SetLocation({(x + 25) * scale, 202 * scale, (x + 140) * scale, 237 * scale});
        }
        for (int duct = 0; duct < 2; ++duct) {
            addLayer(c, scale, duct ? 0 : 45, duct ? 0 : 26, 680, 190, Color32(188, 198, 207), true, duct == 0);
            addLayer(c, scale, 70, 117, 60, 60, Color32(86, 97, 109), true, duct == 0);
            addLayer(c, scale, 70, 117, 60, 60, Color32(86, 97, 109), true, false);
        }
        for (int i = 0; i < 16; ++i) {
            auto* arrow = new TPositionedLayer(&c);
            arrow->SetMouseEvents(false);
            arrow->SetLocation({(40 + 40 * i) * scale, 100 * scale, (40 + 40 * i) * scale + 50, 100 * scale + 50});
            arrow->SetOnPaint([](TPositionedLayer* s, TBitmap32& b) {
                const int x = int(s->Location().Left), y = int(s->Location().Top);
                b.LineS(x, y + 3, x + 15, y + 3, 0);
            });
            arrows.push_back(arrow);
        }
        image->ComposeNow();
    }
    std::unique_ptr<TImage32> image;
    std::vector<TPositionedLayer*> arrows;
};

void BM_FullRepaint(benchmark::State& state)
{
    Scene scene(state.range(0) / 100.0f);
    for (auto _ : state) {
        scene.image->ComposeAll();
        scene.image->ComposeNow();
    }
    state.SetLabel(QString("%1 layers").arg(scene.image->Layers().Count()).toStdString());
}

void BM_ArrowStepRepaint(benchmark::State& state)
{
    Scene scene(state.range(0) / 100.0f);
    TPositionedLayer* arrow = scene.arrows.front();
    const TFloatRect a = arrow->Location();
    TFloatRect b = a;
    b.Left += 60;
    b.Right += 60;
    bool flip = false;
    for (auto _ : state) {
        arrow->SetLocation(flip ? a : b);
        flip = !flip;
        scene.image->ComposeNow();
    }
}

}  // namespace

BENCHMARK(BM_FullRepaint)->Arg(100)->Arg(128)->Arg(180)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrowStepRepaint)->Arg(100)->Arg(128)->Arg(180)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
