#pragma once

#include <QColor>
#include <QString>

// The viewer's background colour as six upper-case hex digits: red, green, blue.
QString colorToHex(const QColor &color);
// Accepts exactly six hex digits; returns false and leaves `color` alone otherwise.
bool hexToColor(const QString &text, QColor &color);
