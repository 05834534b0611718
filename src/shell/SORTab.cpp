#include "shell/SORTab.h"

#include "plotter/MinimapPlotter.h"
#include "sor/SORParser.h"

#include <QMessageBox>

SORTab::SORTab(QWidget* parent)
    : GWidget(parent)
    , mainSplitter(Qt::Horizontal, this)
    , info(&mainSplitter)
    , plotter(&mainSplitter)
{
    setObjectName(QStringLiteral("SORTab"));
    info.advanced = false;
    info.addWidget(&info.dataViewer);
    info.addWidget(&info.eventHandler);
    info.addWidget(&info.cursorWidget);
    info.cursorWidget.infoLabel.setText(
        tr(" Use ctrl+left click or ctrl+right click\n in the main plot to set cursors.\n"));
    info.cursorWidget.setMaximumHeight(200);

    layout->addWidget(&mainSplitter);
    mainSplitter.addWidget(&info);
    mainSplitter.addWidget(&plotter);
    if (parent && parent->width() >= 2300)
        mainSplitter.setSizes({ 350, 1900 });
    else
        mainSplitter.setSizes({ 300, 1200 });
}

SORTab::~SORTab() { delete parser; }

QString SORTab::failureText(const QString& path, const std::string& errorText)
{
    return tr("Could not parse file\n") + path + QStringLiteral("\n\n") + QString::fromStdString(errorText);
}

bool SORTab::display(std::wstring path, bool advanced)
{
    QString error;
    if (load(path, advanced, &error))
        return true;
    QMessageBox box(QMessageBox::NoIcon, tr("Could not parse selected file!"), error);
    box.exec();
    return false;
}

bool SORTab::load(std::wstring path, bool advanced, QString* error)
{
    parser = new sor::SORParser(path);
    if (!parser->fileParsed) {
        if (error)
            *error = failureText(QString::fromStdWString(path), parser->errorText);
        return false;
    }
    plotter.plot(parser);

    info.mainPlotter = &plotter;
    info.sorParser = parser;
    info.advanced = advanced;
    auto& tree = info.dataViewer;
    tree.advancedMode = advanced;
    tree.parser = parser;
    tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree._loadTavixInfo();
    tree._loadConfiguration();
    if (advanced) {
        tree._loadMap();
        tree._loadGen();
        tree._loadSup();
        tree._loadFxd();
        tree._loadEvents();
        tree._loadData();
    }
    const QBrush background = tree.palette().brush(QPalette::AlternateBase);
    QFont big = tree.font();
    big.setPointSize(static_cast<int>(big.pointSize() * 1.5));
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        auto* item = tree.topLevelItem(i);
        item->setData(0, Qt::BackgroundRole, background);
        item->setData(1, Qt::BackgroundRole, background);
        item->setData(0, Qt::FontRole, big);
        item->setFirstColumnSpanned(true);
    }
    tree.setItemsExpandable(advanced);
    tree.setRootIsDecorated(false);

    info.eventHandler.loadEvents(parser, &plotter, info.advanced);
    info.cursorWidget.setUpCursors(parser, &plotter);

    info.minimap = new MinimapPlotter(&plotter, &info);
    info.minimap->plot(parser);
    info.cursorWidget.layout->addWidget(info.minimap);

    info.setStretchFactor(0, 80);
    info.setStretchFactor(1, 50);
    info.setStretchFactor(2, 10);
    setUpOwnAnalysis();
    return true;
}
