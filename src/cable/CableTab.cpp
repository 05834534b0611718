#include "cable/CableTab.h"

#include "analysis/SummaryTable.h"
#include "cable/ThresholdsDialog.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
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
    progressBar.setTextVisible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(&countsLabel, 1);
    top->addWidget(&filterEdit, 1);
    top->addWidget(&compareButton);
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
        updateCounts();
    });
    connect(&compareButton, &QPushButton::clicked, this, &CableTab::compareSelected);
    connect(&exportButton, &QPushButton::clicked, this, &CableTab::exportCsvAs);
    connect(&thresholdsButton, &QPushButton::clicked, this, &CableTab::editThresholds);
    connect(
        &eventSource, qOverload<int>(&QComboBox::activated), this, [this](int index) { setOwnAnalysis(index == 1); });
    connect(&cancelButton, &QPushButton::clicked, &scan, &CableScan::cancel);
    connect(&table, &QTableView::doubleClicked, this, &CableTab::openRow);
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { compareButton.setEnabled(!selectedPaths().isEmpty()); });
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

void CableTab::setThresholds(const analysis::Thresholds& thresholds) { model.setThresholds(thresholds); }

void CableTab::updateCounts()
{
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
    if (index.isValid())
        emit openFileRequested(model.fullPath(proxy.mapToSource(index).row()));
}

QStringList CableTab::selectedPaths() const
{
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
    std::string csv = analysis::csvHeader();
    for (const int row : proxy.shownRows())
        csv += analysis::csvRow(model.summary(row), model.thresholds());
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
    if (!analysis::saveThresholds(analysis::thresholdsPath, thresholds)) {
        QMessageBox box(QMessageBox::Warning, tr("Thresholds"),
            tr("Could not write %1").arg(QString::fromLatin1(analysis::thresholdsPath)));
        box.exec();
    }
}
