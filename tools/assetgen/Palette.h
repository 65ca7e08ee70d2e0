#pragma once

// Every colour the generated pictures use. A projector-friendly variant of the
// artwork is a change in this file only.

#include <QColor>
#include <QRgb>

namespace Palette {

// Base colours of the art direction.
constexpr QRgb Page = 0xFFECE9E4;          // ceiling void and the page around the scene
constexpr QRgb Structure = 0xFF8E939A;     // walls, slabs, cut structure
constexpr QRgb Floor = 0xFFB9A88C;
constexpr QRgb DuctBody = 0xFFBCC6CF;
constexpr QRgb DuctJoint = 0xFF7E8B97;
constexpr QRgb DuctHighlight = 0xFFE6ECF2;
constexpr QRgb Diffuser = 0xFFD9DDE2;
constexpr QRgb Disc = 0xFF56616D;          // control disc, actuators, dark equipment
constexpr QRgb Warm = 0xFFE8452C;          // warm tint, hot loads
constexpr QRgb WarmLight = 0xFFF47A3C;
constexpr QRgb Cool = 0xFF2E7FE0;          // cool tint, cold loads
constexpr QRgb CoolLight = 0xFF62AAF5;
constexpr QRgb Sun = 0xFFFFD94A;
constexpr QRgb Target = 0xFFE0201B;        // calibration targets
constexpr QRgb Highlighted = 0xFFFFC928;
constexpr QRgb Text = 0xFF1E1E1E;
constexpr QRgb Go = 0xFF2E9E4A;            // the intro's "click to start" target
constexpr QRgb GoLight = 0xFF55BE6E;

// Shades derived from the base colours (kept here so they change together).
constexpr QRgb RoomWall = 0xFFF7F5F1;      // far wall seen inside a room, a lighter page
constexpr QRgb CeilingBoard = 0xFFDAD7D0;  // suspended ceiling, a darker page
constexpr QRgb Glass = 0xFFCFE4F8;         // window glazing, a pale cool light
constexpr QRgb Frost = 0xFFE4F1FD;
constexpr QRgb LabelPlate = 0xFF4C5661;    // plates under white pressure figures, a darker disc
constexpr QRgb Furniture = 0xFFA79F93;     // desks, between floor and structure
constexpr QRgb WindowFrame = 0xFFE9EDF1;   // frames and sills, near the duct highlight
constexpr QRgb CloseupMatte = 0xFFF0F0F0;  // window colour the close-up pictures sit on

inline QColor color(QRgb rgb) { return QColor::fromRgba(rgb); }

inline QColor withAlpha(QRgb rgb, int alpha)
{
    QColor c = QColor::fromRgba(rgb);
    c.setAlpha(alpha);
    return c;
}

// Outlines are one design pixel, a little darker than what they surround.
inline QColor outline(QRgb fill) { return QColor::fromRgba(fill).darker(145); }

} // namespace Palette
