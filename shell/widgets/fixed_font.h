#pragma once
// The fixed-pitch fonts of the consoles and the hex view: the named family at a pixel size, falling back
// to the system's monospace font where that family is not installed.
#include <QFont>
#include <QString>

namespace novrix::shell {

QFont fixedPitchFont(const QString& family, int pixelSize);

} // namespace novrix::shell
