#include "UnitRoomLayer.h"

#include "table/EasyTable.h"
#include "vcl/Rounding.h"

namespace {

const QString kLowPres = QStringLiteral("LowPres");
const QString kHighPres = QStringLiteral("HighPres");

// The tint reaches its full strength (170) 7.5 degrees from 22.5: 3/68 degree
// per alpha step, kept at extended precision.
constexpr long double kTintDivisor = 0.044117647058823529413L;
constexpr float kNeutral = 22.5f;
constexpr int kFullTint = 170;
constexpr int kTintHot = 0;
constexpr int kTintCold = 1;

std::unique_ptr<TBitmap32> load(TEasyTable* table, const QString& name)
{
    return LoadNamedBitmap(table, name);
}

std::unique_ptr<TBitmap32> roomBackground(TEasyTable* table, const QString& name)
{
    if (name == kLowPres || name == kHighPres)
        return nullptr;
    return load(table, name + QStringLiteral("_Background"));
}

void showFirst(const std::vector<TMultiBitmapLayer*>& family, int count)
{
    for (size_t i = 0; i < family.size(); ++i)
        family[i]->SetVisible(int(i) < count);
}

float scaled(int designValue, float scale) { return float(double(designValue) * double(scale)); }

}  // namespace

namespace scene_detail {

TTableSession::TTableSession(TEasyTable* table)
    : m_table(table), m_opened(table && !table->Active())
{
    if (m_opened)
        m_table->Open();
}

TTableSession::~TTableSession()
{
    if (m_opened)
        m_table->Close();
}

}  // namespace scene_detail

// ---------------------------------------------------------------- TRoomLayer

TRoomLayer::TRoomLayer(TLayerCollection* Collection, int X, int Y, const QString& Name,
                       float Scale, bool OuterRoom, TEasyTable* Table)
    : TRoomLayer(Collection, X, Y, Name, Scale, OuterRoom, Table,
                 scene_detail::TTableSession(Table))
{
}

TRoomLayer::TRoomLayer(TLayerCollection* Collection, int X, int Y, const QString& Name,
                       float Scale, bool OuterRoom, TEasyTable* Table,
                       const scene_detail::TTableSession&)
    : TBitmapLayerList(Collection, X, Y, roomBackground(Table, Name).get(), Scale),
      FTable(Table),
      FOuterRoom(OuterRoom)
{
    FTemperature = kNeutral;
    FSunLevel = FHotLevel = FColdLevel = 0;
    FColdMode = false;
    FHotMode = false;

    // The click area over the diffuser, in the image's own pixels.
    FDiffuserSpot = new TPositionedLayer(Collection);
    FDiffuserSpot->SetLocation({scaled(X + 25, Scale), scaled(Y - 10, Scale),
                                scaled(X + 140, Scale), scaled(Y + 25, Scale)});
    FDiffuserSpot->SetMouseEvents(true);
    FDiffuserSpot->SetScaled(false);

    // Creation order is drawing order: cold, hot, sun, and the tint over all.
    static const char* const levels[] = {"25", "50", "75", "100"};
    if (OuterRoom) {
        for (const char* level : levels) {
            const QString image = Name + QStringLiteral("_Cold") + QLatin1String(level);
            FColdOverlays.push_back(Children(addOverlay(image, image + QStringLiteral("_Alpha"), 255, 255)));
        }
    } else {
        FHotMode = true;
    }
    for (const char* level : levels) {
        const QString image = Name + QStringLiteral("_Hot") + QLatin1String(level);
        FHotOverlays.push_back(Children(addOverlay(image, image + QStringLiteral("_Alpha"), 255, 255)));
    }

    if (OuterRoom) {
        // One yellow picture; each level shines through its own, stronger mask.
        const int i = AddNamedChild(QStringLiteral("Yellow"), 255, false);
        static const int strengths[] = {110, 130, 150, 170};
        for (int k = 0; k < 4; ++k)
            AddNamedToChild(Name + QStringLiteral("_Sun") + QLatin1String(levels[k])
                                + QStringLiteral("_Alpha"),
                            i, strengths[k], true);
        FSunLayer = Children(i);
    }

    const int t = AddNamedChild(QStringLiteral("Hot"), 0, false);
    AddNamedToChild(QStringLiteral("Cold"), t, 0, false);
    AddNamedToChild(QStringLiteral("Hot_Alpha"), t, 255, true);
    FTempLayer = Children(t);
    FTempLayer->SelectImage(kTintHot);
    // Master alpha 0: nothing shows until the first temperature arrives.
    FTempLayer->SetVisible(true);
}

TRoomLayer::~TRoomLayer() = default;

int TRoomLayer::addOverlay(const QString& imageName, const QString& maskName, int alpha,
                           int strength)
{
    const int i = AddNamedChild(imageName, alpha, false);
    AddNamedToChild(maskName, i, strength, true);
    return i;
}

int TRoomLayer::AddNamedChild(const QString& Name, int Alpha, bool AsMask)
{
    const std::unique_ptr<TBitmap32> bitmap = load(FTable, Name);
    return AddChild(bitmap.get(), Alpha, AsMask);
}

void TRoomLayer::AddNamedToChild(const QString& Name, int Index, int Alpha, bool AsMask)
{
    const std::unique_ptr<TBitmap32> bitmap = load(FTable, Name);
    AddToChild(bitmap.get(), Index, Alpha, AsMask);
}

int TRoomLayer::GetLoad() const
{
    if (FColdMode)
        return FColdLevel;
    if (FSunLevel > 0)
        return FSunLevel;
    return FHotLevel;
}

void TRoomLayer::SetLoad(int Level)
{
    if (FColdMode)
        SetColdLevel(Level);
    else if (!FHotMode)
        SetSunLevel(Level);
    else
        SetHotLevel(Level);
}

void TRoomLayer::SetColdLevel(int Level)
{
    if (!FOuterRoom)
        return;
    FColdLevel = Level;
    showFirst(FColdOverlays, Level);
}

void TRoomLayer::SetHotLevel(int Level)
{
    FHotLevel = Level;
    showFirst(FHotOverlays, Level);
}

void TRoomLayer::SetSunLevel(int Level)
{
    if (!FSunLayer)
        return;
    FSunLevel = Level;
    if (Level <= 0) {
        FSunLayer->SetVisible(false);
        return;
    }
    FSunLayer->SelectMask(Level - 1);
    if (!FSunLayer->Visible())
        FSunLayer->SetVisible(true);
}

void TRoomLayer::SetColdMode(bool Value)
{
    FColdMode = Value;
    if (!Value) {
        SetColdLevel(0);
    } else {
        SetHotLevel(0);
        SetSunLevel(0);
    }
}

void TRoomLayer::SetHotMode(bool Value)
{
    if (Value == FHotMode)
        return;
    if (FHotMode)
        SetHotLevel(0);
    else
        SetSunLevel(0);
    FHotMode = Value;
}

void TRoomLayer::SetTemperature(float Value)
{
    FTemperature = Value;
    const long double t = Value;
    int alpha;
    // Selecting copies the stored tint and re-applies its mask, so do it only
    // when the temperature crosses 22.5.
    if (Value > kNeutral) {
        if (FTempLayer->ImageIndex() != kTintHot)
            FTempLayer->SelectImage(kTintHot);
        alpha = Value >= 30.0f ? kFullTint : RoundHalfEven(double((t - kNeutral) / kTintDivisor));
    } else {
        if (FTempLayer->ImageIndex() != kTintCold)
            FTempLayer->SelectImage(kTintCold);
        alpha = Value > 15.0f ? RoundHalfEven(double((kNeutral - t) / kTintDivisor)) : kFullTint;
    }
    FTempLayer->Bitmap().SetMasterAlpha(alpha);
}

// ---------------------------------------------------------------- TDuctLayer

TDuctLayer::TDuctLayer(TLayerCollection* Collection, int X, int Y, const QString& Name,
                       float Scale, TEasyTable* Table, int FanX, int FanY)
    : TDuctLayer(Collection, X, Y, Name, Scale, Table, FanX, FanY,
                 scene_detail::TTableSession(Table))
{
}

TDuctLayer::TDuctLayer(TLayerCollection* Collection, int X, int Y, const QString& Name,
                       float Scale, TEasyTable* Table, int FanX, int FanY,
                       const scene_detail::TTableSession&)
    : TBitmapLayerList(Collection, X, Y, load(Table, Name + QStringLiteral("_Background")).get(),
                       Scale),
      FTable(Table)
{
    {
        const std::unique_ptr<TBitmap32> mask = load(FTable, Name + QStringLiteral("_Alpha"));
        ApplyAlphaMask(&Bitmap(), mask.get());
        Bitmap().SetDrawMode(TDrawMode::dmBlend);
    }
    addFan(QStringLiteral("Fan1"), FanX, FanY);
    addFan(QStringLiteral("Fan2"), FanX, FanY);

    FFanPhase = true;
    SetVisible(true);
    FFanRunning = true;
}

TDuctLayer::~TDuctLayer() = default;

void TDuctLayer::addFan(const QString& name, int fanX, int fanY)
{
    int i;
    {
        const std::unique_ptr<TBitmap32> frame = load(FTable, name);
        i = AddChildAt(frame.get(), 255, false, fanX, fanY);
    }
    AddNamedToChild(name + QStringLiteral("_Alpha"), i, 255, true);
    FFans.push_back(Children(i));
}

void TDuctLayer::AddNamedToChild(const QString& Name, int Index, int Alpha, bool AsMask)
{
    const std::unique_ptr<TBitmap32> bitmap = load(FTable, Name);
    AddToChild(bitmap.get(), Index, Alpha, AsMask);
}

void TDuctLayer::NextFanFrame()
{
    if (!FFanRunning) {
        FFans[0]->SetVisible(false);
        FFans[1]->SetVisible(false);
        return;
    }
    FFanPhase = !FFanPhase;
    // Hide first, so the two frames never show together.
    if (FFanPhase) {
        FFans[1]->SetVisible(false);
        FFans[0]->SetVisible(true);
    } else {
        FFans[0]->SetVisible(false);
        FFans[1]->SetVisible(true);
    }
}

void TDuctLayer::SetActive(bool Value)
{
    FActive = Value;
    SetVisible(Value);
    FFans[0]->SetVisible(false);
    FFans[1]->SetVisible(false);
    FFanRunning = Value;
}
