#pragma once

#include <QLocale>
#include <QString>

// The shortest text that reads back as the same double ("0.1", "-20.5", "1e-17").
inline QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
