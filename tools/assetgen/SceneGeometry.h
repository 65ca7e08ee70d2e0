#pragma once

// Where things sit in the main scene, in design pixels of the 724 x 380 scene
// image (800-pixel basis). The window's readouts and setpoint boxes lie over the
// scene; the duct, the necks and the diffusers are placed in the gaps they leave.

#include <QRect>
#include <array>

namespace Scene {

constexpr int Width = 724;
constexpr int Height = 380;

// Rooms: pictures 162 wide from y 212 to the bottom of the scene.
constexpr int RoomTop = 212;
constexpr int RoomWidth = 162;
constexpr int RoomHeight = Height - RoomTop; // 168

// Inside a room picture (room-relative y).
constexpr int CeilingBoard = 3;   // suspended ceiling board at the top
constexpr int FloorTop = 150;     // walking surface
constexpr int FloorFinish = 4;    // floor finish above the cut slab
constexpr int OuterWall = 9;      // outer wall thickness
constexpr int Partition = 3;      // half a partition, drawn in each of the two rooms
constexpr int WindowTop = 34;     // window opening in an outer wall
constexpr int WindowBottom = 104;

struct Room {
    const char* name;
    int x;          // scene x of the room picture
    bool outer;
    bool windowLeft; // the outer wall (with its window) is on the left
    int diffuserX;  // scene x of the diffuser's centre
};

// Necks run between the readout label, the setpoint boxes and the diffuser click
// spots: left 165..201, centre-left <= 335, centre-right <= 484, right <= 633.
constexpr std::array<Room, 4> Rooms{{
    {"Left", 74, true, true, 176},
    {"Mid1", 236, false, false, 320},
    {"Mid2", 398, false, false, 474},
    {"Right", 560, true, false, 624},
}};

// Structure slab over the rooms, between the ceiling void and the rooms.
constexpr int SlabTop = 205;
constexpr int BuildingLeft = 74;
constexpr int BuildingRight = 722;

// Diffusers hang below the slab, over the top of the room pictures.
constexpr int NeckHalf = 7;
constexpr int DiffuserHalf = 22;
constexpr int DiffuserBottom = 221;

// Low-pressure system: a large rectangular duct under the readouts and clear of the
// animation-speed bar (which ends at y 138).
constexpr int LowFanX = 70, LowFanY = 117; // fan frame origin
constexpr int LowDuctX = 45, LowDuctY = 26; // duct picture origin
constexpr int LowDuctTop = 139, LowDuctBottom = 177;
constexpr int LowDuctStart = 137, LowDuctEnd = 648;
constexpr int LowArrowLane = 166; // arrow centres, below the pressure plates

// High-pressure system: a small round duct with VAV boxes below it.
constexpr int HighFanX = 25, HighFanY = 91;
constexpr int HighDuctTop = 139, HighDuctBottom = 153;
constexpr int HighDuctStart = 110, HighDuctEnd = 664;
constexpr int HighArrowLane = 146;
constexpr int BoxTop = 157, BoxBottom = 178;

constexpr int FanSize = 60;

// Pressure figures are drawn in white 8-point text at these anchors (top-left).
// A darker plate under each keeps the figures readable; it starts 3 px left of and
// 2 px above the anchor and is 16 px tall.
struct Label {
    int x, y;
    int plateWidth;
};
constexpr std::array<Label, 4> LowPressureLabels{{{200, 147, 36}, {440, 147, 36}, {490, 147, 36}, {600, 147, 36}}};
constexpr Label HighPressureLabel{365, 159, 74};
constexpr int PlateHeight = 16;

// The duct pictures reach down to the diffusers.
constexpr QRect LowDuctPicture(LowDuctX, LowDuctY, Width - LowDuctX, DiffuserBottom + 3 - LowDuctY);
constexpr QRect HighDuctPicture(0, 0, Width, DiffuserBottom + 3);

} // namespace Scene
