#include "compare/SORMultiTab.h"

#include "compare/PlotEntity.h"
#include "core/Application.h"
#include "sor/SORParser.h"

#include <QFileDialog>
#include <QMessageBox>

#include <iostream>

SORMultiTab::SORMultiTab(QWidget* parent)
    : GWidget(parent)
    , splitter(Qt::Horizontal, this)
    , infoWidget(&splitter)
    , plotter(&splitter)
{
    setObjectName(QStringLiteral("SORMultiTab"));
    layout->addWidget(&splitter);
    splitter.addWidget(&infoWidget);
    splitter.addWidget(&plotter);
    splitter.setSizes({ 300, 1200 });

    infoWidget.chart = &plotter;
    plotter.traceList = &infoWidget.overview;
    infoWidget.overview.setUpCursors(&plotter);
    infoWidget.setStretchFactor(0, 90);
    infoWidget.setStretchFactor(1, 10);
    connect(&infoWidget.overview.loadButton, &QPushButton::clicked, this, &SORMultiTab::addPlots);
    connect(&infoWidget.overview, &MultiPlotOverview::openFileRequested, this, &SORMultiTab::openFileRequested);
}

QString SORMultiTab::failureText(const QString& path, const std::string& errorText)
{
    return tr("Could not parse file\n") + path + QStringLiteral("\n\n") + QString::fromStdString(errorText);
}

bool SORMultiTab::load(std::wstring path, QString* error)
{
    sor::SORParser parser(path);
    if (!parser.fileParsed) {
        if (error)
            *error = failureText(QString::fromStdWString(path), parser.errorText);
        return false;
    }
    plotter.plot(std::move(parser));
    return true;
}

bool SORMultiTab::display(std::wstring path)
{
    QString error;
    if (load(path, &error))
        return true;
    QMessageBox box(QMessageBox::NoIcon, tr("Could not parse one of the selected files!"), error);
    box.exec();
    return false;
}

bool SORMultiTab::isShown(const std::wstring& path) const
{
    for (const PlotEntity* entity : plotter.entities) {
        if (entity->parser.path == path)
            return true;
    }
    return false;
}

void SORMultiTab::_addPaths(const QStringList& paths)
{
    for (const QString& path : paths) {
        const std::wstring wide = path.toStdWString();
        if (!isShown(wide))
            display(wide);
    }
}

void SORMultiTab::addPlots()
{
    const QString filter = tr("sor Files") + QStringLiteral("(*.sor);;") + tr("Any Files") + QStringLiteral("(*.*)");
    const QStringList paths
        = QFileDialog::getOpenFileNames(nullptr, tr("Select .sor Files"), app()->sorDirectory, filter);
    if (paths.isEmpty()) {
        std::cout << "No path selected." << std::endl;
        return;
    }
    _addPaths(paths);
}
