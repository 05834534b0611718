#pragma once

#include "analysis/FibreSet.h"
#include "analysis/FibreVerdict.h"
#include "analysis/Thresholds.h"
#include "compare/MultiPlotOverview.h"
#include "fibre/FibreEventModel.h"
#include "fibre/FibrePlotter.h"
#include "plotter/MinimapPlotter.h"
#include "widgets/CSplitter.h"
#include "widgets/GWidget.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableView>

#include <optional>

// A fibre measured from both ends: the summary and verdict above, both ends' traces on A's axis in one chart, the
// averaged event table below. The files are read and analysed in the background.
class FibreTab : public GWidget {
    Q_OBJECT
public:
    explicit FibreTab(QWidget* parent = nullptr);
    ~FibreTab() override;

    /// Starts reading the files of one fibre; loaded() follows.
    void load(const QStringList& files);
    /// Reads and shows them before it returns (tests, the command line); false and why when no file can be read.
    bool loadNow(const QStringList& files, QString* error = nullptr);
    /// Judges again (new cables: the spans drawn again); nothing is read.
    void setThresholds(const analysis::Thresholds& thresholds);

    /// Shows the analysis's wavelength k in the chart and the table.
    void showWavelength(int k);
    int wavelength() const { return current; }
    /// Selects an event's row and stresses its marker; -1 for none.
    void selectEvent(int row);

    /// The fibre ID, else the first file's name.
    QString title() const;
    /// The files as named, one a line.
    QString filesText() const;

    const analysis::FibreSet& fibre() const { return set; }
    const analysis::FibreVerdict& verdict() const { return judged; }
    const analysis::Thresholds& thresholds() const { return limits; }
    bool isLoaded() const { return loaded; }
    QStringList files() const { return paths; }

    /// The colours of the two directions' traces.
    static QColor colourAB();
    static QColor colourBA();

    // Destroyed in reverse: the chart before the list its traces take their rows out of.
    QLabel summaryLabel;
    QComboBox wavelengthBox;
    QPushButton thresholdsButton;
    CSplitter splitter;
    CSplitter chartRow;
    QWidget side;
    MultiPlotOverview overview;
    FibrePlotter plotter;
    MinimapPlotter minimap; ///< the overview of the trace from A (from B without one)
    FibreEventModel events;
    QTableView table;

signals:
    /// The files were read: ok false with the reasons when none could be.
    void finishedLoading(bool ok, const QString& error);
    void openFileRequested(const QString& path);
    /// The user set new thresholds, for every tab that judges by them.
    void thresholdsChanged(const analysis::Thresholds& thresholds);

public slots:
    /// The thresholds dialog; what it sets is saved and judges this tab and, through thresholdsChanged, the others.
    void editThresholds();

private:
    void take(analysis::FibreSet result);
    void rejudge();
    void fillChart();
    void fillSummary();

    QStringList paths;
    analysis::FibreSet set;
    analysis::FibreVerdict judged;
    analysis::Thresholds limits;
    int current = -1;
    bool loaded = false;
    QFutureWatcher<analysis::FibreSet> reading;
};
