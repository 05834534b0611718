#pragma once

#include "analysis/Thresholds.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>

// The thresholds of the program's own event analysis: the smallest splice loss and the weakest reflection that are
// events, and the loss that ends the fibre.
class AnalysisDialog : public QDialog {
    Q_OBJECT
public:
    explicit AnalysisDialog(QWidget* parent = nullptr);

    void setThresholds(const analysis::DetectionThresholds& t);
    analysis::DetectionThresholds thresholds() const;

    QDoubleSpinBox spliceLoss;
    QDoubleSpinBox reflectance;
    QDoubleSpinBox endOfFibre;
    QDialogButtonBox buttons;
};
