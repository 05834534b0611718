#pragma once

#include <QString>

// Numbers in read-outs, tables and tool tips, in the form QString::arg(double) gives them: 'g' with six
// significant digits, so sums like 0.1 + 0.2 read 0.3, not 0.30000000000000004.
inline QString num(double value) { return QString::number(value, 'g', 6); }
