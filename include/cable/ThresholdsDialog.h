#pragma once

#include "analysis/Thresholds.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>

#include <array>

// Edits the acceptance limits of the whole-cable table (an empty field is no limit) and the launch and receive cables
// around the span judged (empty: none, a length in km, or "auto"), and how much more a place may lose at a longer
// wavelength than at a shorter before it counts as a bend.
class ThresholdsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ThresholdsDialog(QWidget* parent = nullptr);

    void setThresholds(const analysis::Thresholds& t);
    /// The limits as entered; a field that does not hold a number is no limit.
    analysis::Thresholds thresholds() const;

    QLineEdit maxSpliceLoss;
    QLineEdit maxConnectorLoss;
    QLineEdit maxReflectance;
    std::array<QLineEdit, analysis::attenuationBands.size()> maxAttenuation;
    QLineEdit maxTotalLoss;
    QLineEdit minOrl;
    QLineEdit launchCable;
    QLineEdit receiveCable;
    QLineEdit maxBendDelta;
    QDialogButtonBox buttons;

private:
    /// The own analysis's thresholds, which Analyse… edits: kept as they were.
    analysis::DetectionThresholds detection;
};
