#pragma once

#include <QString>

// Pictures of the diffuser close-up for the docs: the disc at 30, 60 and
// 100 % and the heat picture, as the main window drives it, saved as
// closeup-30.png, closeup-60.png, closeup-100.png and closeup-heat.png.
// Returns false and sets *error when a file cannot be written.
bool SaveCloseupScreenshots(const QString& outDir, QString* error = nullptr);
