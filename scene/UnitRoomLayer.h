// The changing parts of the building cross-section: a room with its load
// overlays, temperature tint and diffuser click area, and a supply duct with
// its turning fan. Every overlay is a child layer prepared once from named
// images of the image table.
#pragma once

#include "GR32_Extra.h"

#include <QString>

#include <vector>

class TAirFlowLayer;
class TEasyTable;

namespace scene_detail {
// Opens a closed table for a run of loads and closes it again afterwards.
class TTableSession {
public:
    explicit TTableSession(TEasyTable* table);
    ~TTableSession();
    TTableSession(const TTableSession&) = delete;
    TTableSession& operator=(const TTableSession&) = delete;

private:
    TEasyTable* m_table;
    bool m_opened;
};
}  // namespace scene_detail

class TRoomLayer : public TBitmapLayerList {
public:
    // X, Y: the room's design-pixel top-left. Outer rooms get cold overlays
    // and a sun layer; an inner room's heating load is always drawn hot.
    // Rooms named "LowPres" or "HighPres" have no background picture.
    TRoomLayer(TLayerCollection* Collection, int X, int Y, const QString& Name, float Scale,
               bool OuterRoom, TEasyTable* Table);
    ~TRoomLayer() override;

    int AddNamedChild(const QString& Name, int Alpha, bool AsMask);
    void AddNamedToChild(const QString& Name, int Index, int Alpha, bool AsMask);

    // Level 0 .. 4 of the kind of load in use.
    int GetLoad() const;
    bool HasSunLoad() const { return FSunLevel > 0; }
    bool HasHotLoad() const { return FHotLevel > 0; }
    void SetLoad(int Level);
    void SetColdLevel(int Level);
    void SetHotLevel(int Level);
    void SetSunLevel(int Level);
    void SetColdMode(bool Value);
    void SetHotMode(bool Value);
    bool ColdMode() const { return FColdMode; }
    bool HotMode() const { return FHotMode; }

    // Degrees Celsius: a warm or cold tint whose strength grows with the
    // distance from 22.5.
    float Temperature() const { return FTemperature; }
    void SetTemperature(float Value);

    TPositionedLayer* DiffuserSpot() const { return FDiffuserSpot; }
    bool OuterRoom() const { return FOuterRoom; }
    int SunLevel() const { return FSunLevel; }
    int HotLevel() const { return FHotLevel; }
    int ColdLevel() const { return FColdLevel; }
    TMultiBitmapLayer* TempLayer() const { return FTempLayer; }
    TMultiBitmapLayer* SunLayer() const { return FSunLayer; }
    const std::vector<TMultiBitmapLayer*>& HotOverlays() const { return FHotOverlays; }
    const std::vector<TMultiBitmapLayer*>& ColdOverlays() const { return FColdOverlays; }

    // The room's arrows, set and used by the main window; not owned.
    TAirFlowLayer* LeftFlow = nullptr;
    TAirFlowLayer* RightFlow = nullptr;

private:
    TRoomLayer(TLayerCollection* Collection, int X, int Y, const QString& Name, float Scale,
               bool OuterRoom, TEasyTable* Table, const scene_detail::TTableSession& session);
    int addOverlay(const QString& imageName, const QString& maskName, int alpha, int strength);

    float FTemperature = 22.5f;
    TMultiBitmapLayer* FTempLayer = nullptr;
    std::vector<TMultiBitmapLayer*> FHotOverlays;
    std::vector<TMultiBitmapLayer*> FColdOverlays;  // empty for an inner room
    TMultiBitmapLayer* FSunLayer = nullptr;         // none for an inner room
    int FSunLevel = 0;
    int FHotLevel = 0;
    int FColdLevel = 0;
    bool FColdMode = false;
    bool FHotMode = false;
    TEasyTable* FTable;
    TPositionedLayer* FDiffuserSpot = nullptr;
    bool FOuterRoom;
};

class TDuctLayer : public TBitmapLayerList {
public:
    // X, Y: design-pixel top-left of the duct picture; FanX, FanY that of the
    // fan frames. Created visible with the fan running, frames hidden until
    // the first tick.
    TDuctLayer(TLayerCollection* Collection, int X, int Y, const QString& Name, float Scale,
               TEasyTable* Table, int FanX, int FanY);
    ~TDuctLayer() override;

    void AddNamedToChild(const QString& Name, int Index, int Alpha, bool AsMask);

    // One fan-timer tick: the other frame, or both hidden when stopped.
    void NextFanFrame();
    // In use: visible with the fan running; otherwise hidden and stopped.
    void SetActive(bool Value);
    bool Active() const { return FActive; }

    const std::vector<TMultiBitmapLayer*>& Fans() const { return FFans; }
    bool FanPhase() const { return FFanPhase; }
    bool FanRunning() const { return FFanRunning; }

private:
    TDuctLayer(TLayerCollection* Collection, int X, int Y, const QString& Name, float Scale,
               TEasyTable* Table, int FanX, int FanY, const scene_detail::TTableSession& session);
    void addFan(const QString& name, int fanX, int fanY);

    bool FActive = false;
    std::vector<TMultiBitmapLayer*> FFans;
    TEasyTable* FTable;
    bool FFanPhase = true;
    bool FFanRunning = true;
};
