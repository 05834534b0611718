#include "cable/CableTab.h"

#include "analysis/FibreSummary.h"
#include "analysis/SummaryTable.h"
#include "cable/ThresholdsDialog.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>

CableTab::CableTab(QWidget* parent)
    : QWidget(parent)
    , scan(&model)
{
    setObjectName(QStringLiteral("cableTab"));
    model.setThresholds(analysis::loadThresholds(analysis::thresholdsPath));
    proxy.setCableModel(&model);

    const struct {
        QWidget* widget;
        const char* name;
    } names[] = {
        { &countsLabel, "countsLabel" },
        { &filterEdit, "filterEdit" },
        { &compareButton, "compareButton" },
        { &exportButton, "exportButton" },
        { &thresholdsButton, "thresholdsButton" },
        { &filesButton, "filesButton" },
        { &fibresButton, "fibresButton" },
        { &pairButton, "pairButton" },
        { &unpairButton, "unpairButton" },
        { &eventSource, "cableEventSource" },
        { &progressRow, "progressRow" },
        { &progressLabel, "progressLabel" },
        { &progressBar, "progressBar" },
        { &cancelButton, "cancelButton" },
        { &table, "cableTable" },
    };
    for (const auto& entry : names)
        entry.widget->setObjectName(QLatin1String(entry.name));

    filterEdit.setPlaceholderText(tr("Filter"));
    filterEdit.setClearButtonEnabled(true);
    compareButton.setText(tr("Compare"));
    compareButton.setEnabled(false);
    exportButton.setText(tr("Export CSV\u2026"));
    thresholdsButton.setText(tr("Thresholds\u2026"));
    eventSource.addItem(tr("File's events"));
    eventSource.addItem(tr("Own analysis"));
    eventSource.setToolTip(tr("Judge every file by the events its instrument listed, or by the program's own "
                              "analysis of its trace (the thresholds of Analyse\u2026)"));
    cancelButton.setText(tr("Cancel"));
    filesButton.setText(tr("Files"));
    fibresButton.setText(tr("Fibres"));
    filesButton.setToolTip(tr("One row per file"));
    fibresButton.setToolTip(tr("One row per fibre and wavelength: both ends paired, their losses averaged"));
    auto* modes = new QButtonGroup(this);
    for (QPushButton* button : { &filesButton, &fibresButton }) {
        button->setCheckable(true);
        modes->addButton(button);
    }
    filesButton.setChecked(true);
    pairButton.setText(tr("Pair\u2026"));
    pairButton.setToolTip(tr("The two selected files are the two ends of one fibre"));
    unpairButton.setText(tr("Unpair"));
    unpairButton.setToolTip(tr("The selected files are not paired with any other"));
    progressBar.setTextVisible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(&filesButton);
    top->addWidget(&fibresButton);
    top->addWidget(&countsLabel, 1);
    top->addWidget(&filterEdit, 1);
    top->addWidget(&compareButton);
    top->addWidget(&pairButton);
    top->addWidget(&unpairButton);
    top->addWidget(&exportButton);
    top->addWidget(&thresholdsButton);
    top->addWidget(&eventSource);
    auto* progress = new QHBoxLayout(&progressRow);
    progress->setContentsMargins(0, 0, 0, 0);
    progress->addWidget(&progressLabel);
    progress->addWidget(&progressBar, 1);
    progress->addWidget(&cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(&progressRow);
    layout->addWidget(&table, 1);
    progressRow.hide();

    table.setModel(&proxy);
    table.setSortingEnabled(true);
    table.sortByColumn(CableModel::section(CableModel::Column::File), Qt::AscendingOrder);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setAlternatingRowColors(true);
    table.setWordWrap(false);
    table.verticalHeader()->hide();
    // Every row as high as the first: the view never measures ten thousand rows.
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table.horizontalHeader()->setResizeContentsPrecision(0);
    table.horizontalHeader()->setHighlightSections(false);
    // The verdict beside the file, where it is seen without scrolling; the columns can be moved.
    table.horizontalHeader()->setSectionsMovable(true);
    table.horizontalHeader()->moveSection(CableModel::section(CableModel::Column::Verdict), 1);
    setUpFileColumn();

    connect(&filterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy.setFilterWords(text);
        fibres.proxy.setFilterWords(text);
        updateCounts();
    });
    connect(&filesButton, &QPushButton::clicked, this, [this] { showFibres(false); });
    connect(&fibresButton, &QPushButton::clicked, this, [this] { showFibres(true); });
    connect(&pairButton, &QPushButton::clicked, this, &CableTab::pairSelected);
    connect(&unpairButton, &QPushButton::clicked, this, &CableTab::unpairSelected);
    connect(&fibres.model, &FibreTableModel::countsChanged, this, &CableTab::updateCounts);
    connect(&fibres, &CableFibres::finished, this, &CableTab::fibresFinished);
    connect(&compareButton, &QPushButton::clicked, this, &CableTab::compareSelected);
    connect(&exportButton, &QPushButton::clicked, this, &CableTab::exportCsvAs);
    connect(&thresholdsButton, &QPushButton::clicked, this, &CableTab::editThresholds);
    connect(
        &eventSource, qOverload<int>(&QComboBox::activated), this, [this](int index) { setOwnAnalysis(index == 1); });
    connect(&cancelButton, &QPushButton::clicked, &scan, &CableScan::cancel);
    connect(&table, &QTableView::doubleClicked, this, &CableTab::openRow);
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this, &CableTab::updateButtons);
    updateButtons();
    connect(&model, &CableModel::countsChanged, this, &CableTab::updateCounts);
    connect(&scan, &CableScan::progressChanged, this, &CableTab::updateProgress);
    connect(&scan, &CableScan::finished, this, &CableTab::scanEnded);
    updateCounts();
}

CableTab::~CableTab()
{
    // The overlay goes before the table, which would still report its own teardown here.
    table.viewport()->removeEventFilter(this);
    table.removeEventFilter(this);
}

void CableTab::setUpFileColumn()
{
    const int file = CableModel::section(CableModel::Column::File);
    // The Qt way of a frozen column: a second view of the same rows and selection, only the File column shown,
    // laid over the table's and scrolled with it.
    fileColumn.setParent(&table);
    fileColumn.setModel(&proxy);
    fileColumn.setSelectionModel(table.selectionModel());
    fileColumn.setFocusPolicy(Qt::NoFocus);
    fileColumn.setSelectionBehavior(QAbstractItemView::SelectRows);
    fileColumn.setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileColumn.setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileColumn.setAlternatingRowColors(true);
    fileColumn.setWordWrap(false);
    fileColumn.verticalHeader()->hide();
    fileColumn.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fileColumn.verticalHeader()->setDefaultSectionSize(table.verticalHeader()->defaultSectionSize());
    fileColumn.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fileColumn.horizontalHeader()->setHighlightSections(false);
    fileColumn.horizontalHeader()->setSortIndicatorShown(true);
    fileColumn.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fileColumn.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fileColumn.setFrameShape(QFrame::NoFrame);
    for (int column = 0; column < proxy.columnCount(); ++column)
        fileColumn.setColumnHidden(column, column != file);
    fileColumn.setColumnWidth(file, table.columnWidth(file));
    // Both scroll row by pixel, so that their rows stay side by side.
    table.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    fileColumn.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table.viewport()->stackUnder(&fileColumn);
    // A horizontal scroll bar coming or going changes the viewport's height, not the table's.
    table.installEventFilter(this);
    table.viewport()->installEventFilter(this);

    auto* header = table.horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this, file](int section, int, int size) {
        if (section == file) {
            fileColumn.setColumnWidth(file, size);
            placeFileColumn();
        }
    });
    // The column it covers stays first.
    connect(header, &QHeaderView::sectionMoved, this, [header, file] {
        if (header->visualIndex(file) != 0)
            header->moveSection(header->visualIndex(file), 0);
    });
    connect(header, &QHeaderView::sortIndicatorChanged, fileColumn.horizontalHeader(), &QHeaderView::setSortIndicator);
    connect(fileColumn.horizontalHeader(), &QHeaderView::sectionClicked, this, [this, header, file] {
        const bool ascending
            = header->sortIndicatorSection() != file || header->sortIndicatorOrder() == Qt::DescendingOrder;
        table.sortByColumn(file, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    connect(fileColumn.verticalScrollBar(), &QAbstractSlider::valueChanged, table.verticalScrollBar(),
        &QAbstractSlider::setValue);
    connect(table.verticalScrollBar(), &QAbstractSlider::valueChanged, fileColumn.verticalScrollBar(),
        &QAbstractSlider::setValue);
    connect(&fileColumn, &QTableView::doubleClicked, this, &CableTab::openRow);
    fileColumn.horizontalHeader()->setSortIndicator(header->sortIndicatorSection(), header->sortIndicatorOrder());
    placeFileColumn();
}

void CableTab::placeFileColumn()
{
    const int file = CableModel::section(CableModel::Column::File);
    const int frame = table.frameWidth();
    fileColumn.setGeometry(
        frame, frame, table.columnWidth(file), table.viewport()->height() + table.horizontalHeader()->height());
    fileColumn.horizontalHeader()->setFixedHeight(table.horizontalHeader()->height());
}

bool CableTab::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == &table || watched == table.viewport())
        && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        placeFileColumn();
    return QWidget::eventFilter(watched, event);
}

void CableTab::scanFolder(const QString& folder)
{
    model.folder = folder;
    progressLabel.setText(tr("Listing files\u2026"));
    progressBar.setRange(0, 0);
    progressRow.show();
    // The rule changes only between scans.
    eventSource.setEnabled(false);
    scan.start(folder, ownAnalysis(), model.thresholds());
}

void CableTab::setOwnAnalysis(bool own)
{
    eventSource.setCurrentIndex(own ? 1 : 0);
    if (scan.isRunning() || model.folder.isEmpty())
        return;
    // The detection thresholds are the analysis's, kept in the thresholds file beside the limits.
    analysis::Thresholds t = model.thresholds();
    t.detection = analysis::loadThresholds(analysis::thresholdsPath).detection;
    model.setThresholds(t);
    model.clear();
    scanFolder(model.folder);
}

void CableTab::setThresholds(const analysis::Thresholds& thresholds)
{
    // The same thresholds may arrive twice (from this tab and from the window): the rows are judged once.
    if (thresholds != model.thresholds())
        model.setThresholds(thresholds);
    if (thresholds != fibres.model.thresholds())
        fibres.setThresholds(thresholds);
}

void CableTab::updateCounts()
{
    if (fibresShown()) {
        QString text = fibres.isRunning() || !fibres.started()
            ? tr("Pairing the fibres\u2026")
            : QString::fromStdString(analysis::fibreCountsText(fibres.model.counts()));
        if (!fibres.proxy.filterWords().isEmpty() && !fibres.isRunning())
            text += tr(" \u2014 %1 shown").arg(fibres.proxy.rowCount());
        countsLabel.setText(text);
        return;
    }
    // A folder listed in full without a single file says so, rather than counting nothing.
    if (!scan.isRunning() && !scan.wasCancelled() && scan.total() == 0 && model.rowCount() == 0) {
        countsLabel.setText(tr("No .sor files in this folder or below it"));
        return;
    }
    QString text = QString::fromStdString(analysis::countsText(model.counts()));
    if (!proxy.filterWords().isEmpty())
        text += tr(" \u2014 %1 shown").arg(proxy.rowCount());
    if (ownAnalysis())
        text += tr(", by own analysis");
    if (scan.wasCancelled())
        text += tr(" (scan cancelled)");
    countsLabel.setText(text);
}

void CableTab::updateProgress(int done, int total)
{
    if (total < 0)
        return;
    progressBar.setRange(0, total);
    progressBar.setValue(done);
    progressLabel.setText(tr("%1 of %2 files").arg(done).arg(total));
    if (!columnsSized && model.rowCount() > 0) {
        columnsSized = true;
        table.resizeColumnsToContents();
    }
}

void CableTab::scanEnded()
{
    progressRow.hide();
    eventSource.setEnabled(true);
    table.resizeColumnsToContents();
    updateCounts();
}

void CableTab::openRow(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    if (fibresShown()) {
        const QStringList paths = fibres.fibrePaths(fibres.model.fibreOf(fibres.proxy.mapToSource(index).row()));
        if (!paths.isEmpty())
            emit fibreRequested(paths);
        return;
    }
    emit openFileRequested(model.fullPath(proxy.mapToSource(index).row()));
}

void CableTab::showFibres(bool show)
{
    (show ? fibresButton : filesButton).setChecked(true);
    table.setModel(show ? static_cast<QAbstractItemModel*>(&fibres.proxy) : &proxy);
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this, &CableTab::updateButtons);
    if (show) {
        table.sortByColumn(FibreTableModel::Fibre, Qt::AscendingOrder);
        if (!fibres.started())
            fibres.start(model.folder, model.thresholds());
    } else {
        table.sortByColumn(CableModel::section(CableModel::Column::File), Qt::AscendingOrder);
        table.horizontalHeader()->moveSection(CableModel::section(CableModel::Column::Verdict), 1);
    }
    table.resizeColumnsToContents();
    // The File column laid over the table belongs to "Files": it shares the table's new selection there.
    fileColumn.setVisible(!show);
    if (!show) {
        fileColumn.setSelectionModel(table.selectionModel());
        const int file = CableModel::section(CableModel::Column::File);
        fileColumn.setColumnWidth(file, table.columnWidth(file));
        placeFileColumn();
    }
    updateButtons();
    updateCounts();
}

void CableTab::fibresFinished()
{
    if (fibresShown())
        table.resizeColumnsToContents();
    updateCounts();
}

void CableTab::updateButtons()
{
    const bool files = !fibresShown();
    compareButton.setEnabled(files && !selectedPaths().isEmpty());
    pairButton.setEnabled(files && selectedFiles().size() == 2);
    unpairButton.setEnabled(files ? !selectedFiles().isEmpty() : !selectedFibres().empty());
}

QStringList CableTab::selectedFiles() const
{
    QStringList names;
    if (fibresShown())
        return names;
    for (const QModelIndex& index : table.selectionModel()->selectedRows()) {
        const int source = proxy.mapToSource(index).row();
        if (model.summary(source).parsed)
            names << QString::fromStdString(model.summary(source).file);
    }
    return names;
}

std::vector<int> CableTab::selectedFibres() const
{
    std::vector<int> out;
    if (!fibresShown())
        return out;
    for (const QModelIndex& index : table.selectionModel()->selectedRows()) {
        const int fibre = fibres.model.fibreOf(fibres.proxy.mapToSource(index).row());
        if (std::find(out.begin(), out.end(), fibre) == out.end())
            out.push_back(fibre);
    }
    return out;
}

void CableTab::pairSelected()
{
    const QStringList names = selectedFiles();
    if (names.size() != 2)
        return;
    QMessageBox box(QMessageBox::Question, tr("Pair"),
        tr("Pair these files as the two ends of one fibre?\n%1\n%2").arg(names[0], names[1]));
    QPushButton* pairOnly = box.addButton(tr("Pair"), QMessageBox::AcceptRole);
    QPushButton* pairAndSave = box.addButton(tr("Pair and save in the folder"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(pairOnly);
    box.exec();
    if (box.clickedButton() != pairOnly && box.clickedButton() != pairAndSave)
        return;
    fibres.pair(names[0], names[1]);
    if ((box.clickedButton() == pairAndSave || QFileInfo::exists(fibres.pairsPath())) && !fibres.savePairs()) {
        QMessageBox failed(QMessageBox::Warning, tr("Pair"), tr("Could not write %1").arg(fibres.pairsPath()));
        failed.exec();
    }
    updateCounts();
}

void CableTab::unpairSelected()
{
    QStringList names = selectedFiles();
    for (const int fibre : selectedFibres()) {
        for (const auto& w : fibres.model.analyses()[size_t(fibre)].wavelengths)
            for (const std::string& name : { w.fileAB, w.fileBA })
                if (!name.empty())
                    names << QString::fromStdString(name);
    }
    if (names.isEmpty())
        return;
    fibres.unpair(names);
    // A folder whose pairs were saved keeps them up to date.
    if (QFileInfo::exists(fibres.pairsPath()))
        fibres.savePairs();
    updateCounts();
}

QStringList CableTab::selectedPaths() const
{
    if (fibresShown())
        return QStringList();
    std::vector<int> shown;
    const QModelIndexList selected = table.selectionModel()->selectedRows();
    shown.reserve(static_cast<size_t>(selected.size()));
    for (const QModelIndex& index : selected)
        shown.push_back(index.row());
    std::sort(shown.begin(), shown.end());
    QStringList paths;
    for (const int row : shown) {
        const int source = proxy.mapToSource(proxy.index(row, CableModel::section(CableModel::Column::File))).row();
        if (model.summary(source).parsed)
            paths << model.fullPath(source);
    }
    return paths;
}

void CableTab::compareSelected()
{
    const QStringList paths = selectedPaths();
    if (!paths.isEmpty())
        emit compareRequested(paths);
}

bool CableTab::exportCsv(const QString& path) const
{
    std::string csv;
    if (fibresShown()) {
        csv = analysis::fibreCsvHeader();
        for (const int row : fibres.proxy.shownRows())
            csv += analysis::fibreCsvRow(fibres.model.fibreRow(row));
    } else {
        csv = analysis::csvHeader();
        for (const int row : proxy.shownRows())
            csv += analysis::csvRow(model.summary(row), model.thresholds());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(csv.data(), static_cast<qint64>(csv.size()));
    return file.commit();
}

void CableTab::exportCsvAs()
{
    const QDir dir(model.folder);
    const QString path = QFileDialog::getSaveFileName(nullptr, tr("Export CSV"),
        dir.filePath(dir.dirName() + QStringLiteral(".csv")), tr("CSV Files") + QStringLiteral("(*.csv)"));
    if (path.isEmpty())
        return;
    if (!exportCsv(path)) {
        QMessageBox box(QMessageBox::Warning, tr("Export CSV"), tr("Could not write\n%1").arg(path));
        box.exec();
    }
}

void CableTab::editThresholds()
{
    ThresholdsDialog dialog(this);
    dialog.setThresholds(model.thresholds());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const analysis::Thresholds thresholds = dialog.thresholds();
    // Every cable tab of the window judges by the same file.
    const QList<CableTab*> tabs = window()->findChildren<CableTab*>();
    for (CableTab* tab : tabs)
        tab->setThresholds(thresholds);
    if (!tabs.contains(this))
        setThresholds(thresholds);
    emit thresholdsChanged(thresholds);
    if (!analysis::saveThresholds(analysis::thresholdsPath, thresholds)) {
        QMessageBox box(QMessageBox::Warning, tr("Thresholds"),
            tr("Could not write %1").arg(QString::fromLatin1(analysis::thresholdsPath)));
        box.exec();
    }
}
