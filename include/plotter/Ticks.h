#pragma once

#include <QMap>
#include <QString>

#include <string>

// The axis ticks of the trace charts: round values and their labels.
namespace chart {

/// Tick values (data units) and their labels: about count round values covering min..max.
QMap<qreal, QString> generateTicks(double min, double max, int count, bool inMetres);

/// "%f" text without trailing zeros and point: 2.500000 -> 2.5, 3.000000 -> 3.
QString rtrim(const std::string& text);

} // namespace chart
