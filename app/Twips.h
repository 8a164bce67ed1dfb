#pragma once

#include <QWidget>

inline const QString AppTitleText = QStringLiteral("TARVIK");

// Window sizes and positions are designed in twips, 1/1440 inch.
inline int TwipsToPixels(int twips, const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return (twips * dpi + (twips >= 0 ? 720 : -720)) / 1440;
}
