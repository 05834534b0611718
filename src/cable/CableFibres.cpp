#include "cable/CableFibres.h"

#include "analysis/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtConcurrent>

CableFibres::CableFibres(QObject* parent)
    : QObject(parent)
    , stop(std::make_shared<std::atomic<bool>>(false))
{
    proxy.setRowsModel(&model, &model);
    proxy.setSortRole(FibreTableModel::SortRole);
    connect(&work, &QFutureWatcher<Work>::finished, this, [this] {
        running = false;
        if (work.future().resultCount() > 0) {
            Work done = work.result();
            files = std::move(done.files);
            model.setAnalyses(std::move(done.analyses));
        }
        if (again) {
            again = false;
            run(readAgain);
            return;
        }
        emit finished();
    });
}

CableFibres::~CableFibres()
{
    stop->store(true);
    work.waitForFinished();
}

void CableFibres::start(const QString& folder, const analysis::Thresholds& thresholds)
{
    folderPath = folder;
    limits = thresholds;
    model.setThresholds(thresholds);
    QFile saved(pairsPath());
    if (saved.open(QIODevice::ReadOnly))
        manual = analysis::parsePairs(saved.readAll().toStdString());
    run(true);
}

void CableFibres::cancel()
{
    stop->store(true);
    again = false;
}

void CableFibres::run(bool read)
{
    if (running) {
        again = true;
        readAgain = readAgain || read;
        return;
    }
    running = true;
    readAgain = false;
    stop->store(false);
    const std::string folder = QFile::encodeName(folderPath).toStdString();
    const auto flag = stop;
    const analysis::Thresholds t = limits;
    const analysis::ManualPairs m = manual;
    std::vector<analysis::FibreFile> known = read ? std::vector<analysis::FibreFile>() : files;
    work.setFuture(QtConcurrent::run([folder, flag, t, m, read, known]() mutable {
        Work out;
        if (read) {
            for (const auto& f : analysis::listSorFiles(folder, [flag] { return flag->load(); })) {
                if (flag->load())
                    return Work { known, {} };
                out.files.push_back(analysis::readFibreFile(f.path, f.relative, t));
            }
        } else {
            out.files = std::move(known);
            for (auto& f : out.files) {
                if (!f.summary.parsed)
                    continue;
                analysis::applyCables(f.summary, t);
                analysis::spanFor(f, t);
            }
        }
        for (const auto& fibre : analysis::pairWithManual(out.files, m)) {
            if (flag->load())
                break;
            out.analyses.push_back(analysis::analyseFibre(fibre, out.files));
        }
        return out;
    }));
}

void CableFibres::setThresholds(const analysis::Thresholds& thresholds)
{
    const bool cables = thresholds.launchCable != limits.launchCable || thresholds.receiveCable != limits.receiveCable;
    limits = thresholds;
    model.setThresholds(thresholds);
    if (cables && started())
        run(files.empty());
}

bool CableFibres::pair(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty() || a == b)
        return false;
    manual.pair(a.toStdString(), b.toStdString());
    if (started())
        run(false);
    return true;
}

void CableFibres::unpair(const QStringList& names)
{
    for (const QString& name : names)
        manual.unpair(name.toStdString());
    if (started())
        run(false);
}

QString CableFibres::pairsPath() const
{
    return QDir(folderPath).filePath(QString::fromLatin1(analysis::pairsFileName));
}

bool CableFibres::savePairs() const
{
    QSaveFile file(pairsPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string text = analysis::pairsText(manual);
    file.write(text.data(), qint64(text.size()));
    return file.commit();
}

QStringList CableFibres::fibrePaths(int fibre) const
{
    QStringList paths;
    const auto& analyses = model.analyses();
    if (fibre < 0 || size_t(fibre) >= analyses.size())
        return paths;
    const QDir dir(folderPath);
    for (const auto& w : analyses[size_t(fibre)].wavelengths) {
        for (const std::string& name : { w.fileAB, w.fileBA }) {
            if (!name.empty())
                paths << dir.filePath(QString::fromStdString(name));
        }
    }
    return paths;
}
