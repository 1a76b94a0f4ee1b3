#pragma once

#include <QIcon>
#include <QPixmap>

/// The glyph of "Scan for Trustees": a magnifying glass over a folder, 16 by 16 pixels.
/// enabled: in colour; otherwise the embossed grey form a disabled button shows.
QPixmap ScanGlyph(bool enabled);

/// The button's icon with both glyphs: ScanGlyph(true) for the normal mode and
/// ScanGlyph(false) for the disabled mode.
QIcon ScanButtonIcon();
