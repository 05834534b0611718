#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QRectF>

#include <memory>
#include <vector>

class QLocale;
class QPagedPaintDevice;
class QPaintDevice;

namespace report {

/// Letter where the locale's country uses it, A4 everywhere else.
QPageSize::PageSizeId pageSizeFor(const QLocale& locale);
/// The locale paper follows: LC_ALL, then LC_PAPER, then LANG, as the C library ranks them.
QLocale paperLocale();

/// One page being laid out or painted: the painter (null while the pages are only measured), the device whose metrics
/// count, and the area inside the margins, in device units.
struct Sheet {
    QPainter* painter = nullptr;
    const QPaintDevice* device = nullptr;
    QRectF content;
    double dpi = 96;

    double mm(double v) const { return v * dpi / 25.4; }
    double pt(double v) const { return v * dpi / 72; }
    QFont font(double points, bool bold = false) const;
    QFontMetricsF metrics(const QFont& font) const { return QFontMetricsF(font, const_cast<QPaintDevice*>(device)); }
    /// Height of text wrapped into width.
    double textHeight(const QFont& font, double width, const QString& text) const;
    /// Draws text wrapped into rect when painting.
    void text(const QRectF& rect, const QFont& font, const QString& text, int flags = Qt::AlignLeft | Qt::AlignTop,
        const QColor& colour = Qt::black) const;
};

/// Where the pages of a report go.
class PageTarget {
public:
    virtual ~PageTarget() = default;
    /// The device pages are measured on; its size is the size of a page.
    virtual const QPaintDevice& device() const = 0;
    /// A painter on page index (0, 1, ... in order), or null when the device cannot be painted on.
    virtual QPainter* page(int index) = 0;
    /// Ends the last page; false when the output failed.
    virtual bool finish() = 0;
};

/// The pages of a PDF writer or a printer, on the full paper; the device's resolution should be the report chart's.
class PagedTarget : public PageTarget {
public:
    explicit PagedTarget(QPagedPaintDevice& device);
    const QPaintDevice& device() const override;
    QPainter* page(int index) override;
    bool finish() override;

private:
    QPagedPaintDevice& paged;
    QPainter painter;
    bool failed = false;
};

/// Each page a white image; for looking at pages without a PDF viewer.
class ImageTarget : public PageTarget {
public:
    ImageTarget(QPageSize::PageSizeId size, int dpi);
    const QPaintDevice& device() const override { return blank; }
    QPainter* page(int index) override;
    bool finish() override;

    std::vector<QImage> images;

private:
    QImage blank;
    std::unique_ptr<QPainter> painter;
};

} // namespace report
