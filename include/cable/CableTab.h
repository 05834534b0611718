#pragma once

#include "cable/CableFibres.h"
#include "cable/CableModel.h"
#include "cable/CableProxyModel.h"
#include "cable/CableScan.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTableView>
#include <QWidget>

// A tab with every .sor file of a folder and its subfolders in one table, judged against the thresholds: the files
// are read in the background, the rows appear as they are read.
class CableTab : public QWidget {
    Q_OBJECT
public:
    explicit CableTab(QWidget* parent = nullptr);
    ~CableTab() override;

    /// Starts reading the folder; the thresholds come from the thresholds file.
    void scanFolder(const QString& folder);
    QString folder() const { return model.folder; }

    /// Judges every row by new thresholds; the files are not read again.
    void setThresholds(const analysis::Thresholds& thresholds);
    /// Judges every file by the program's own event analysis (with the detection thresholds of thresholds.ini)
    /// instead of its event table, or back: the files are read again, with progress and Cancel.
    void setOwnAnalysis(bool own);
    bool ownAnalysis() const { return eventSource.currentIndex() == 1; }
    /// Writes the rows as shown (sorted and filtered) as CSV; false when the file cannot be written.
    bool exportCsv(const QString& path) const;
    /// The paths of the selected rows in the order shown, without the files that could not be read.
    QStringList selectedPaths() const;

    /// "Files": one row per file; "Fibres": one row per fibre and wavelength, both ends paired and averaged.
    void showFibres(bool fibres);
    bool fibresShown() const { return fibresButton.isChecked(); }
    /// The selected rows of "Files" as the table names their files (relative to the folder).
    QStringList selectedFiles() const;
    /// The fibres of the selected rows of "Fibres", by index into fibres.model.analyses().
    std::vector<int> selectedFibres() const;

    // The table's data and its view, also for reports; destroyed after the scan that fills them.
    CableModel model;
    CableProxyModel proxy;

    QLabel countsLabel;
    QLineEdit filterEdit;
    QPushButton compareButton;
    QPushButton exportButton;
    QPushButton thresholdsButton;
    QPushButton filesButton;
    QPushButton fibresButton;
    QPushButton pairButton;
    QPushButton unpairButton;
    QComboBox eventSource; ///< "File's events" or "Own analysis"
    QWidget progressRow;
    QLabel progressLabel;
    QProgressBar progressBar;
    QPushButton cancelButton;
    QTableView table;
    /// The File column again, over the table's left edge: it stays in view when the table scrolls sideways.
    QTableView fileColumn;

    CableScan scan;
    CableFibres fibres;

signals:
    /// A row was double-clicked: the file it shows.
    void openFileRequested(const QString& path);
    /// "Compare" was pressed with these files selected.
    void compareRequested(const QStringList& paths);
    /// A row of "Fibres" was double-clicked: the files of its fibre.
    void fibreRequested(const QStringList& paths);
    /// The user set new thresholds, for every tab that judges by them.
    void thresholdsChanged(const analysis::Thresholds& thresholds);

public slots:
    void editThresholds();
    void exportCsvAs();
    void compareSelected();
    /// Asks whether to pair the two selected files, and whether to keep the pair in the folder.
    void pairSelected();
    void unpairSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpFileColumn();
    void placeFileColumn();
    void updateCounts();
    void updateProgress(int done, int total);
    void scanEnded();
    void openRow(const QModelIndex& index);
    void updateButtons();
    void fibresFinished();
    bool columnsSized = false;
};
