#include "report/VerdictSection.h"

#include "analysis/TableNumbers.h"
#include "report/Sections.h"

#include <QObject>

namespace report {

namespace {

    QString tr(const char* text) { return QObject::tr(text); }

    QString limit(const QString& name, const std::optional<double>& value, const char* unit, const char* relation)
    {
        if (!value)
            return tr("%1: no limit").arg(name);
        return QStringLiteral("%1 %2 %3 %4")
            .arg(name, QString::fromUtf8(relation), QString::fromStdString(analysis::decibels(*value)),
                QString::fromLatin1(unit));
    }

} // namespace

QStringList thresholdTexts(const analysis::Thresholds& t, double wavelength)
{
    QStringList texts { limit(tr("splice loss"), t.maxSpliceLoss, "dB", "≤"),
        limit(tr("connector loss"), t.maxConnectorLoss, "dB", "≤"),
        limit(tr("reflectance"), t.maxReflectance, "dB", "≤") };
    const int band = analysis::nearestBand(wavelength);
    for (size_t i = 0; i < analysis::attenuationBands.size(); ++i) {
        if (band >= 0 && size_t(band) != i)
            continue;
        texts << limit(
            tr("attenuation at %1 nm").arg(analysis::attenuationBands[i]), t.maxAttenuation[i], "dB/km", "≤");
    }
    if (analysis::known(wavelength) && band < 0)
        texts << tr("attenuation at %1 nm: no band").arg(QString::fromStdString(analysis::number(wavelength)));
    texts << limit(tr("total loss"), t.maxTotalLoss, "dB", "≤") << limit(tr("ORL"), t.minOrl, "dB", "≥");
    return texts;
}

QColor outcomeColour(analysis::Outcome outcome)
{
    switch (outcome) {
    case analysis::Outcome::Pass:
        return QColor(20, 125, 45);
    case analysis::Outcome::Fail:
        return QColor(190, 20, 20);
    case analysis::Outcome::Incomplete:
        return QColor(70, 90, 150);
    case analysis::Outcome::Error:
        break;
    }
    return QColor(150, 90, 0);
}

namespace sections {

    double verdict(const Sheet& sheet, double top, const analysis::FileSummary& s, const analysis::Thresholds& t)
    {
        const analysis::Verdict v = analysis::evaluate(s, t);
        QStringList lines;
        for (const std::string& reason : analysis::reasons(s, t))
            lines << QString::fromStdString(reason);
        if (v.outcome == analysis::Outcome::Pass)
            lines << tr("every event and the whole fibre within the thresholds");
        double h = sections::lines(
            sheet, top, tr("Verdict: %1").arg(tr(analysis::outcomeText(v.outcome))), lines, outcomeColour(v.outcome));
        h += sheet.mm(1);
        const QFont small = sheet.font(7.5);
        const QString used
            = tr("Thresholds: %1")
                  .arg(thresholdTexts(t, s.wavelength.value_or(analysis::unknown)).join(QStringLiteral("; ")));
        const double usedHeight = sheet.textHeight(small, sheet.content.width(), used);
        sheet.text(QRectF(sheet.content.left(), top + h, sheet.content.width(), usedHeight), small, used,
            Qt::AlignLeft | Qt::AlignTop, QColor(70, 70, 70));
        return h + usedHeight;
    }

} // namespace sections

} // namespace report
