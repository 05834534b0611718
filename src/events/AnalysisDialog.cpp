#include "events/AnalysisDialog.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

AnalysisDialog::AnalysisDialog(QWidget* parent)
    : QDialog(parent)
    , buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults)
{
    setObjectName(QStringLiteral("analysisDialog"));
    setWindowTitle(tr("Analyse"));
    using D = analysis::DetectionThresholds;
    const struct {
        QDoubleSpinBox* box;
        const char* name;
        double least, most, step;
        int decimals;
    } boxes[] = {
        { &spliceLoss, "spliceLoss", D::minSpliceLoss, D::maxSpliceLoss, 0.01, 3 },
        { &reflectance, "reflectance", D::minReflectance, D::maxReflectance, 1, 1 },
        { &endOfFibre, "endOfFibre", D::minEndOfFibre, D::maxEndOfFibre, 0.5, 1 },
    };
    for (const auto& b : boxes) {
        b.box->setObjectName(QLatin1String(b.name));
        b.box->setRange(b.least, b.most);
        b.box->setSingleStep(b.step);
        b.box->setDecimals(b.decimals);
        b.box->setSuffix(tr(" dB"));
    }
    auto* form = new QFormLayout;
    form->addRow(tr("Splice loss at least"), &spliceLoss);
    form->addRow(tr("Reflectance at least"), &reflectance);
    form->addRow(tr("End of fibre: a loss of"), &endOfFibre);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(&buttons);
    connect(&buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons.button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
        [this] { setThresholds(analysis::DetectionThresholds()); });
    setThresholds(analysis::DetectionThresholds());
}

void AnalysisDialog::setThresholds(const analysis::DetectionThresholds& t)
{
    spliceLoss.setValue(t.spliceLoss);
    reflectance.setValue(t.reflectance);
    endOfFibre.setValue(t.endOfFibre);
}

analysis::DetectionThresholds AnalysisDialog::thresholds() const
{
    analysis::DetectionThresholds t;
    t.spliceLoss = spliceLoss.value();
    t.reflectance = reflectance.value();
    t.endOfFibre = endOfFibre.value();
    return t;
}
