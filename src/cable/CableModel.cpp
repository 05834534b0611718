#include "cable/CableModel.h"

#include <QBrush>
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QPalette>

namespace {

using analysis::Column;

QString text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

bool darkTheme()
{
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    return 0.299 * base.redF() + 0.587 * base.greenF() + 0.114 * base.blueF() <= 0.5;
}

int compareNumbers(double a, double b)
{
    const bool ka = analysis::known(a), kb = analysis::known(b);
    if (ka != kb)
        return ka ? -1 : 1;
    if (!ka || a == b)
        return 0;
    return a < b ? -1 : 1;
}

} // namespace

CableModel::CableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int CableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : analysis::columnCount; }

QVariant CableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= analysis::columnCount)
        return QVariant();
    const Row& row = rows[static_cast<size_t>(index.row())];
    const auto column = static_cast<Column>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text(analysis::cellText(row.summary, row.verdict, column));
    case SortRole:
        if (!analysis::isNumeric(column))
            return text(analysis::cellText(row.summary, row.verdict, column));
        if (const double v = analysis::cellNumber(row.summary, row.verdict, column); analysis::known(v))
            return v;
        return QVariant();
    case Qt::ToolTipRole:
        return toolTip(row, column);
    case Qt::BackgroundRole:
        return cellColour(row, column, true);
    case Qt::ForegroundRole:
        return cellColour(row, column, false);
    case Qt::TextAlignmentRole:
        return analysis::isNumeric(column) && column != Column::Date && column != Column::Verdict
            ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
            : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant CableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= analysis::columnCount || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    // Units on a line of their own keep the columns narrow.
    return tr(analysis::columnTitle(static_cast<Column>(section))).replace(QStringLiteral(" ("), QStringLiteral("\n("));
}

QVariant CableModel::cellColour(const Row& row, Column column, bool background) const
{
    // The colours of a failing cell, chosen for the theme's background so that the text stays readable.
    enum Mark { None, Failed, Broken };
    Mark mark = None;
    const unsigned rule = analysis::columnRule(column);
    if (row.verdict.outcome == analysis::Outcome::Error)
        mark = column == Column::Verdict || column == Column::File ? Broken : None;
    else if (column == Column::Verdict && row.verdict.outcome == analysis::Outcome::Incomplete)
        mark = Broken;
    else if ((rule && (row.verdict.failed & rule))
        || (column == Column::Verdict && row.verdict.outcome == analysis::Outcome::Fail))
        mark = Failed;
    else if (column == Column::Checksum && row.summary.checksumSuspect)
        mark = Broken;
    if (mark == None)
        return QVariant();
    return markColour(mark == Failed, background);
}

QVariant CableModel::markColour(bool failed, bool background)
{
    const bool dark = darkTheme();
    if (!background)
        return QBrush(dark ? QColor(0xff, 0xff, 0xff) : QColor(0, 0, 0));
    if (failed)
        return QBrush(dark ? QColor(0x9c, 0x27, 0x27) : QColor(0xff, 0xb4, 0xb4));
    return QBrush(dark ? QColor(0x80, 0x5a, 0x00) : QColor(0xff, 0xdc, 0x96));
}

QString CableModel::toolTip(const Row& row, Column column) const
{
    const auto& s = row.summary;
    if (row.verdict.outcome == analysis::Outcome::Error)
        return text(analysis::reasons(s, limits).front());
    if (column == Column::File)
        return QDir::toNativeSeparators(folder.isEmpty() ? text(s.file) : QDir(folder).filePath(text(s.file)));
    const unsigned rule = analysis::columnRule(column);
    if (column == Column::Verdict || (rule && (row.verdict.failed & rule))) {
        const auto all = analysis::reasons(s, limits);
        QStringList lines;
        for (size_t i = 0, bit = 0; bit < 32 && i < all.size(); ++bit) {
            const unsigned r = 1u << bit;
            if (!(row.verdict.failed & r))
                continue;
            if (column == Column::Verdict || r == rule)
                lines << text(all[i]);
            ++i;
        }
        if (column == Column::Verdict && !s.incomplete.empty())
            lines << text(s.incomplete);
        return lines.join(QLatin1Char('\n'));
    }
    const std::string cell = analysis::cellText(s, row.verdict, column);
    return cell.empty() ? QString() : text(cell);
}

void CableModel::clear()
{
    beginResetModel();
    rows.clear();
    tally = analysis::Counts();
    endResetModel();
    emit countsChanged();
}

void CableModel::append(std::vector<analysis::FileSummary> summaries)
{
    if (summaries.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(summaries.size()) - 1);
    rows.reserve(rows.size() + summaries.size());
    for (auto& s : summaries) {
        Row row { std::move(s), {}, {} };
        judge(row, true);
        tally.add(row.verdict.outcome);
        rows.push_back(std::move(row));
    }
    endInsertRows();
    emit countsChanged();
}

void CableModel::judge(Row& row, bool withCables) const
{
    // The cables move the span, and with it the numbers the row shows and is searched by.
    if (withCables)
        analysis::applyCables(row.summary, limits);
    row.verdict = analysis::evaluate(row.summary, limits);
    if (!withCables && !row.search.isEmpty())
        return;
    QStringList texts;
    for (int c = 0; c < analysis::columnCount; ++c) {
        if (c != static_cast<int>(Column::Verdict))
            texts << text(analysis::cellText(row.summary, row.verdict, static_cast<Column>(c)));
    }
    row.search = texts.join(QLatin1Char('\n')).toCaseFolded();
    row.search.squeeze();
}

void CableModel::setThresholds(const analysis::Thresholds& thresholds)
{
    const bool cablesChanged
        = thresholds.launchCable != limits.launchCable || thresholds.receiveCable != limits.receiveCable;
    limits = thresholds;
    tally = analysis::Counts();
    for (Row& row : rows) {
        judge(row, cablesChanged);
        tally.add(row.verdict.outcome);
    }
    if (!rows.empty())
        emit dataChanged(index(0, section(Column::File)), index(rowCount() - 1, analysis::columnCount - 1));
    emit countsChanged();
}

QString CableModel::fullPath(int row) const
{
    const QString file = text(summary(row).file);
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

bool CableModel::rowMatches(int row, const QStringList& words) const
{
    const Row& r = rows[static_cast<size_t>(row)];
    const QString verdict = QLatin1String(analysis::outcomeText(r.verdict.outcome));
    for (const QString& word : words) {
        if (!r.search.contains(word) && !verdict.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

bool CableModel::lessThan(int left, int right, int column) const
{
    const Row& a = rows[static_cast<size_t>(left)];
    const Row& b = rows[static_cast<size_t>(right)];
    const auto c = static_cast<Column>(column);
    int order = 0;
    if (analysis::isNumeric(c)) {
        order = compareNumbers(
            analysis::cellNumber(a.summary, a.verdict, c), analysis::cellNumber(b.summary, b.verdict, c));
    } else if (c != Column::File) {
        const std::string ta = analysis::cellText(a.summary, a.verdict, c);
        const std::string tb = analysis::cellText(b.summary, b.verdict, c);
        if (ta.empty() != tb.empty())
            order = ta.empty() ? 1 : -1;
        else
            order = analysis::naturalLess(ta, tb) ? -1 : analysis::naturalLess(tb, ta) ? 1 : 0;
    }
    if (order != 0)
        return order < 0;
    return analysis::naturalLess(a.summary.file, b.summary.file);
}
