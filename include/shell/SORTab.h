#pragma once

#include "analysis/OwnAnalysis.h"
#include "events/OwnEventsBar.h"
#include "plotter/Plotter.h"
#include "shell/InfoWidget.h"
#include "widgets/CSplitter.h"
#include "widgets/GWidget.h"

#include <QFutureWatcher>
#include <QList>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sor {
class SORParser;
}

// A tab that shows one .sor file: the panels on the left, the trace chart on the right.
class SORTab : public GWidget {
    Q_OBJECT
public:
    explicit SORTab(QWidget* parent = nullptr);
    ~SORTab() override;

    sor::SORParser* parser = nullptr; ///< owned
    CSplitter mainSplitter;
    InfoWidget info;
    Plotter plotter;

    /// Parses and shows the file; false (after telling the user) when it cannot be parsed.
    bool display(std::wstring path, bool advanced);
    /// The same without any dialog: false and the parser's error text when the file cannot be parsed.
    bool load(std::wstring path, bool advanced, QString* error);

    /// The message box text for a file that cannot be parsed.
    static QString failureText(const QString& path, const std::string& errorText);

    // The program's own event analysis of the trace, beside the file's events; the file is never changed.
    OwnEventsBar ownBar;
    std::optional<analysis::OwnAnalysis> own; ///< once made; the technician's edits change it
    std::unique_ptr<sor::SORParser> ownFile; ///< the file as the own analysis shows it, while it is shown
    bool showingOwn = false;

    /// The file whose events the list, the markers, the summary and the report show.
    sor::SORParser* shownParser() const;
    /// Analyses the trace with the thresholds off the GUI thread, then shows the own events; ownAnalysisReady()
    /// tells when.
    void analyse(const analysis::DetectionThresholds& thresholds);
    bool analysing() const { return watcher.isRunning(); }
    /// Shows the own analysis's events (once there is one) or the file's.
    void showOwnEvents(bool show);
    /// The technician's edits of the own analysis, each measured where it stands; false when refused.
    bool addOwnEvent(double km);
    bool moveOwnEvent(int index, double km);
    bool deleteOwnEvents(QList<int> indices);
    /// What the report says of the events: empty for the file's, else the analysis and its thresholds.
    QString eventSourceText() const;
    /// Per own event: "added", "moved" or empty.
    QStringList ownNotes() const;

Q_SIGNALS:
    void ownAnalysisReady();

public Q_SLOTS:
    void openAnalysisDialog();
    void addAtCursorA();
    void deleteSelectedEvents();

protected:
    /// Drags an own event's marker along the trace: pressed on the marker, released where the event goes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFutureWatcher<analysis::OwnAnalysis> watcher;
    int draggedEvent = -1; ///< the own event whose marker is being dragged
    /// The own event whose marker lies under the pixel of the chart, or -1.
    int markerAt(const QPoint& pixel) const;
    std::vector<double> traceBuffer;
    analysis::TraceSamples trace;
    analysis::Acquisition acquisition;
    void setUpOwnAnalysis();
    void reloadEvents();
    void updateBar();
};
