#include "cursors/CursorReadout.h"

#include "analysis/CursorReadings.h"
#include "widgets/ReadoutNumber.h"

QString CursorReadout::singleTrace(const analysis::CursorReadings& r, bool abMode)
{
    QString text = QStringLiteral("<P>");
    if (abMode) {
        text += tr("&nbsp;Cursor A: (%1 km / %2 dB)<br>").arg(num(r.xA), num(r.yA));
        text += tr("&nbsp;Cursor B: (%1 km / %2 dB)<br>").arg(num(r.xB), num(r.yB));
        text += tr("&nbsp;Cursor B-A: (%1 km / %2 dB)<br>").arg(num(r.dx()), num(r.dy()));
        text += tr("&nbsp;Δx(B-A)/Δy(B-A): %1 dB/km<br>").arg(num(r.slope()));
        text += tr("&nbsp;LSA: %1 dB/km").arg(num(r.lsa));
    } else {
        text += tr("&nbsp;Segment between cursors: &nbsp;");
        text += tr("Length: <b>%1 km</b>").arg(num(r.length()));
        text += tr("<br>&nbsp; from: <b>%1 km</b> (%2 dB)")
                    .arg(QString::number(r.startX, 'f', 3), QString::number(r.startY, 'f', 2));
        text += tr("&nbsp;to <b>%1 km</b> (%2 dB)")
                    .arg(QString::number(r.endX, 'f', 3), QString::number(r.endY, 'f', 2));
        text += tr("<br>&nbsp; Attenuation: <b>%1 dB</b>").arg(num(r.attenuation()));
        text += tr("&nbsp;(<b>%1 dB/km</b>)").arg(num(r.attenuationPerKm()));
        text += tr("<br>&nbsp; LSA Att.: <b>%1 dB/km</b>").arg(num(r.lsaAttenuation));
    }
    return text + QStringLiteral("</P>");
}

QString CursorReadout::singleTraceToolTip(const analysis::CursorReadings& r, bool abMode)
{
    if (abMode)
        return QString();
    return QStringLiteral("<P>") + tr("Full&nbsp;precision&nbsp;cursor&nbsp;positions:<br>")
        + tr("from:&nbsp;<b>%1&nbsp;km</b>&nbsp;with&nbsp;<b>%2&nbsp;dB</b><br>").arg(num(r.startX), num(r.startY))
        + tr("to&nbsp;<b>%1&nbsp;km</b>&nbsp;with&nbsp;<b>%2&nbsp;dB</b>").arg(num(r.endX), num(r.endY))
        + QStringLiteral("</P>");
}

QString CursorReadout::comparisonMeans(const analysis::ComparisonReadings& r, bool abMode)
{
    if (abMode) {
        return tr("<P>&nbsp;Mean Cursor A: (%1 km / %2 dB)<br>").arg(num(r.xA), num(r.meanA))
            + tr("&nbsp;Mean Cursor B: (%1 km / %2 dB)<br>").arg(num(r.xB), num(r.meanB))
            + tr("&nbsp;Mean Cursor B-A: (%1 km / %2 dB)<br>").arg(num(r.xB - r.xA), num(r.meanDifference))
            + tr("&nbsp;Mean Δx(B-A)/Δy(B-A): %1 dB/km").arg(num(r.meanPerKm));
    }
    return tr("<P>&nbsp;Segment between cursors: &nbsp;") + tr("Length: <b>%1 km</b><br>").arg(num(r.length))
        + tr("&nbsp; from: <b>%1 km</b> (%2 dB) ").arg(num(r.xA), num(r.meanA))
        + tr("to <b>%1 km</b> (%2 dB) <br>").arg(num(r.xB), num(r.meanB))
        + tr("&nbsp; Mean Attenuation: <b>%1 dB</b> ").arg(num(r.meanDifference))
        + tr("(<b>%1 dB/km</b>)</P>").arg(num(r.meanPerKm));
}
