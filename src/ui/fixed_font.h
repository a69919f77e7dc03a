#pragma once
// Fixed-pitch faces named by their Windows names ("Courier New", "Fixedsys") are
// rarely installed on a Linux desktop; a list window needs an installed face whose
// letters all have one width, or its keywords no longer stand in one column.
#include <QFont>
#include <QString>

namespace tessary {

// The installed family that shows family: itself when installed and fixed pitch,
// else a face with Courier's metrics or another installed monospace, else the
// system's fixed font.
QString InstalledFixedFamily(const QString& family);
// That family at the size, with the fixed-pitch hints.
QFont FixedFont(const QString& family, int nPointSize);
// What the font is really drawn with, and whether all its letters have one width.
QString RenderedFamily(const QFont& font);
bool IsFixedPitch(const QFont& font);

}  // namespace tessary
