#include "cable/FibreTableModel.h"

#include "analysis/FibreVerdict.h"
#include "analysis/SummaryTable.h"
#include "analysis/TableNumbers.h"
#include "cable/CableModel.h"

#include <cmath>

namespace {

QString text(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

QString number(const std::optional<double>& v) { return v ? text(analysis::fixed3(*v)) : QStringLiteral("\u2013"); }

std::optional<double> sortNumber(const analysis::FibreRow& r, int column)
{
    using M = FibreTableModel;
    switch (column) {
    case M::Wavelength:
        return r.wavelength;
    case M::Span:
        return r.lengthKm;
    case M::TotalLoss:
        return r.totalLoss;
    case M::Attenuation:
        return r.attenuation;
    case M::WorstSplice:
        return r.splice.value;
    case M::SpliceAt:
        return r.splice.km;
    case M::WorstConnector:
        return r.connector.value;
    case M::WorstReflectance:
        return r.reflectance.value;
    case M::Bends:
        return double(r.bends.size());
    default:
        return std::nullopt;
    }
}

// The columns a failing rule marks.
unsigned columnRule(int column)
{
    using M = FibreTableModel;
    switch (column) {
    case M::TotalLoss:
        return analysis::TotalLossRule;
    case M::Attenuation:
        return analysis::AttenuationRule;
    case M::WorstSplice:
        return analysis::SpliceRule;
    case M::WorstConnector:
        return analysis::ConnectorRule;
    case M::WorstReflectance:
        return analysis::ReflectanceRule;
    case M::Bends:
        return analysis::BendRule;
    default:
        return 0;
    }
}

} // namespace

FibreTableModel::FibreTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int FibreTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows.size()); }

int FibreTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString FibreTableModel::cellText(const analysis::FibreRow& r, int column)
{
    const QString ab = text(analysis::directionAB);
    const QString ba = text(analysis::directionBA);
    switch (column) {
    case Fibre:
        return r.fibreId.empty() ? QStringLiteral("\u2013") : text(r.fibreId);
    case Wavelength:
        return r.wavelength ? text(analysis::number(*r.wavelength)) : QStringLiteral("\u2013");
    case Verdict:
        return tr(analysis::outcomeText(r.outcome));
    case FileAB:
        return r.fileAB.empty() ? tr("%1 only").arg(ba) : text(r.fileAB);
    case FileBA:
        return r.fileBA.empty() ? tr("%1 only").arg(ab) : text(r.fileBA);
    case Span:
        return number(r.lengthKm);
    case TotalLoss:
        return number(r.totalLoss);
    case Attenuation:
        return number(r.attenuation);
    case WorstSplice:
        return number(r.splice.value);
    case SpliceAt:
        return number(r.splice.km);
    case WorstConnector:
        return number(r.connector.value);
    case WorstReflectance:
        return number(r.reflectance.value);
    case Bends:
        return r.bends.empty() ? QString() : text(analysis::bendsText(r.bends));
    case Reasons: {
        QStringList reasons;
        for (const auto& reason : r.reasons)
            reasons << text(reason);
        return reasons.join(QStringLiteral("; "));
    }
    default:
        return QString();
    }
}

QVariant FibreTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return QVariant();
    const Row& r = rows[size_t(index.row())];
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(r.row, c);
    case Qt::ToolTipRole:
        return c == Reasons || c == Verdict || c == Bends ? cellText(r.row, c == Bends ? Bends : Reasons) : QVariant();
    case Qt::TextAlignmentRole:
        return sortNumber(r.row, c) || c == Span ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        const bool background = role == Qt::BackgroundRole;
        if (c == Verdict && r.row.outcome != analysis::Outcome::Pass)
            return CableModel::markColour(r.row.outcome == analysis::Outcome::Fail, background);
        if ((c == FileAB && r.row.fileAB.empty()) || (c == FileBA && r.row.fileBA.empty()))
            return CableModel::markColour(false, background);
        if (columnRule(c) & r.failed)
            return CableModel::markColour(true, background);
        return QVariant();
    }
    case SortRole: {
        if (const auto v = sortNumber(r.row, c))
            return *v;
        return cellText(r.row, c);
    }
    case FibreRole:
        return r.fibre;
    default:
        return QVariant();
    }
}

QVariant FibreTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char* const titles[ColumnCount] = { "Fibre", "Wavelength\n(nm)", "Verdict", "File A\u2192B",
        "File B\u2192A", "Span\n(km)", "Total loss\n(dB)", "Attenuation\n(dB/km)", "Worst splice\n(dB)",
        "Splice at\n(km)", "Worst connector\n(dB)", "Worst reflectance\n(dB)", "Bends", "Reasons" };
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

void FibreTableModel::setAnalyses(std::vector<analysis::FibreAnalysis> analyses)
{
    fibres = std::move(analyses);
    judge();
}

void FibreTableModel::setThresholds(const analysis::Thresholds& thresholds)
{
    limits = thresholds;
    judge();
}

void FibreTableModel::judge()
{
    beginResetModel();
    rows.clear();
    tally = analysis::Counts();
    for (size_t f = 0; f < fibres.size(); ++f) {
        const analysis::FibreVerdict v = analysis::evaluateFibre(fibres[f], limits);
        tally.add(v.outcome);
        auto fibreRows = analysis::fibreRows(fibres[f], v);
        for (size_t k = 0; k < fibreRows.size(); ++k) {
            auto& fr = fibreRows[k];
            Row r;
            r.failed = k < v.wavelengths.size() ? v.wavelengths[k].failed : 0;
            r.fibre = int(f);
            QStringList texts;
            for (int c = 0; c < ColumnCount; ++c)
                texts << cellText(fr, c);
            r.search = texts.join(QLatin1Char(' ')).toCaseFolded();
            r.row = std::move(fr);
            rows.push_back(std::move(r));
        }
    }
    endResetModel();
    emit countsChanged();
}

bool FibreTableModel::rowMatches(int row, const QStringList& words) const
{
    const QString& search = rows[size_t(row)].search;
    for (const QString& word : words)
        if (!search.contains(word))
            return false;
    return true;
}

bool FibreTableModel::lessThan(int left, int right, int column) const
{
    const analysis::FibreRow& a = rows[size_t(left)].row;
    const analysis::FibreRow& b = rows[size_t(right)].row;
    const auto na = sortNumber(a, column), nb = sortNumber(b, column);
    int order = 0;
    if (na || nb || column == Span) {
        if (bool(na) != bool(nb))
            order = na ? -1 : 1;
        else if (na && *na != *nb)
            order = *na < *nb ? -1 : 1;
    } else {
        const std::string ta = cellText(a, column).toStdString(), tb = cellText(b, column).toStdString();
        order = analysis::naturalLess(ta, tb) ? -1 : analysis::naturalLess(tb, ta) ? 1 : 0;
    }
    if (order != 0)
        return order < 0;
    const std::string fa = a.fibreId + " " + analysis::number(a.wavelength.value_or(0));
    const std::string fb = b.fibreId + " " + analysis::number(b.wavelength.value_or(0));
    return analysis::naturalLess(fa, fb);
}
