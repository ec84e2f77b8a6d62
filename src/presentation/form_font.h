#pragma once

#include <QFont>
#include <QString>

// A font given the way the forms are designed: a family and a character height in pixels.
// Families that Linux lacks (Tahoma, Arial, MS Sans Serif) fall back to the metric twin where
// one is installed, then to a font that also covers the Chinese texts.
QFont form_font(const QFont& base, const QString& family, int pixel_size);
