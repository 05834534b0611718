#pragma once

#include "report/CableReport.h"
#include "report/ComparisonReport.h"
#include "report/Composer.h"
#include "report/FibreReport.h"
#include "report/ReportChart.h"
#include "report/TraceReport.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// The report of a tab as it is at this moment: what its chart shows, its cursors and read-outs. Reads the tab once,
// when made; the tab must outlive it.
class TabReport {
public:
    /// The report of a single-trace, comparison, fibre or cable tab; null for a tab without one (the start tab, a cable
    /// tab without rows).
    static std::unique_ptr<TabReport> of(QWidget* tab);
    /// What the reports take of the user's settings: the colours, the logo and the cursor mode.
    static report::Style applicationStyle();

    QString title() const { return name; }
    /// Where a file saved from the report goes by default, without its extension.
    QString suggestedPath() const { return suggested; }

    report::Composer::Compose compose() const;
    bool savePdf(const QString& path, QString* error,
        const report::Composer::Progress& progress = report::Composer::Progress()) const;
    bool print(QPrinter& printer, const report::Composer::Progress& progress = report::Composer::Progress()) const;

    /// The chart at its size on screen, scale device pixels per screen pixel, in the bright theme.
    QImage chartImage(qreal scale) const;
    bool savePng(const QString& path, qreal scale, QString* error) const;
    bool saveSvg(const QString& path, QString* error) const;
    QSize chartSize() const { return screenSize; }
    /// Whether the report has one chart to save as a picture (a cable report has one a file).
    bool hasChart() const { return !cable && !fibreCable; }
    /// What the tab's chart showed when the report was made.
    const report::View& view() const { return comparison ? traces.view : trace.view; }

private:
    TabReport() = default;
    void setUpChart(report::ReportChart& chart) const;
    const report::Style& style() const;
    report::Decimation decimation() const;

    bool comparison = false;
    report::TraceInput trace;
    report::ComparisonInput traces;
    std::shared_ptr<const report::CableInput> cable; ///< shared by the compositions, which may outlive the call
    std::shared_ptr<const report::FibreInput> fibre;
    int fibreWavelength = 0; ///< the one the tab shows, for the chart alone
    std::shared_ptr<const report::FibreCableInput> fibreCable;
    QString name;
    QString suggested;
    QSize screenSize;
};
