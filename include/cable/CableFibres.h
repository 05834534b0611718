#pragma once

#include "analysis/FibreFile.h"
#include "analysis/FibreSet.h"
#include "analysis/Thresholds.h"
#include "cable/CableProxyModel.h"
#include "cable/FibreTableModel.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

// The "Fibres" side of a cable tab: the folder's files read for the fibre analysis, paired (by the rules and by
// hand) and analysed on the thread pool; the table judged on the GUI thread. Pairs made by hand last as long as the
// tab unless they are saved in the folder.
class CableFibres : public QObject {
    Q_OBJECT
public:
    explicit CableFibres(QObject* parent = nullptr);
    ~CableFibres() override;

    /// Reads the folder's files (once) and pairs them; the pairs saved in the folder are taken.
    void start(const QString& folder, const analysis::Thresholds& thresholds);
    bool started() const { return !folderPath.isEmpty(); }
    bool isRunning() const { return running; }
    void cancel();

    /// Judges by new thresholds; new cables draw the spans again in the background.
    void setThresholds(const analysis::Thresholds& thresholds);

    /// The two files (as the table of files names them) are one fibre's ends; false when not two distinct files.
    bool pair(const QString& a, const QString& b);
    /// The files leave their pairs and stay unpaired.
    void unpair(const QStringList& files);
    const analysis::ManualPairs& manualPairs() const { return manual; }
    /// Writes the pairs made by hand into the folder; false when the file cannot be written.
    bool savePairs() const;
    QString pairsPath() const;

    /// The files of the fibre of a row of the table, full paths, in the order of the wavelengths and ends.
    QStringList fibrePaths(int fibre) const;

    FibreTableModel model;
    CableProxyModel proxy;

signals:
    void finished();

private:
    struct Work {
        std::vector<analysis::FibreFile> files;
        std::vector<analysis::FibreAnalysis> analyses;
    };
    void run(bool read);

    QString folderPath;
    analysis::Thresholds limits;
    analysis::ManualPairs manual;
    std::vector<analysis::FibreFile> files;
    std::shared_ptr<std::atomic<bool>> stop;
    QFutureWatcher<Work> work;
    bool running = false;
    bool again = false; ///< asked to run again while running
    bool readAgain = false;
};
