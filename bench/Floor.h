#pragma once

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace bench {

// The least any min-max chart does for one view change of a 1M-sample trace: reduce the samples to 3000 rows (the
// extremes of each pair of buckets) and draw them as one antialiased polyline of width 1 on a 1200 x 700 image.
// The charts' figures are read against these two, measured in the same run.
class Floor {
public:
    static constexpr size_t samples = 1000000;
    static constexpr size_t rows = 3000;

    Floor()
        : ys(samples)
        , image(1200, 700, QImage::Format_ARGB32_Premultiplied)
    {
        // A sloping trace with noise, as an instrument's is.
        uint32_t state = 12345;
        for (size_t i = 0; i < samples; ++i) {
            state = state * 1664525u + 1013904223u;
            ys[i] = -20.0 - 30.0 * double(i) / samples + (state >> 8) / double(1 << 24);
        }
        image.fill(Qt::white);
    }

    /// Min-max decimation of every sample into rows points.
    void decimate()
    {
        points.resize(int(rows));
        for (size_t pair = 0; pair < rows / 2; ++pair) {
            const size_t from = pair * samples / (rows / 2);
            const size_t to = (pair + 1) * samples / (rows / 2);
            size_t minAt = from;
            size_t maxAt = from;
            for (size_t i = from + 1; i < to; ++i) {
                if (ys[i] < ys[minAt])
                    minAt = i;
                if (ys[i] > ys[maxAt])
                    maxAt = i;
            }
            const size_t first = std::min(minAt, maxAt);
            const size_t second = std::max(minAt, maxAt);
            points[int(2 * pair)] = QPointF(double(first), ys[first]);
            points[int(2 * pair + 1)] = QPointF(double(second), ys[second]);
        }
    }

    /// The rows mapped onto the image and drawn as one polyline.
    void drawPolyline()
    {
        QVector<QPointF> pixels(points.size());
        const double sx = image.width() / double(samples);
        const double sy = image.height() / -60.0;
        for (int i = 0; i < points.size(); ++i)
            pixels[i] = QPointF(points[i].x() * sx, points[i].y() * sy);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPolyline(pixels.constData(), pixels.size());
    }

private:
    std::vector<double> ys;
    QVector<QPointF> points;
    QImage image;
};

} // namespace bench
