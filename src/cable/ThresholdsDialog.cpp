#include "cable/ThresholdsDialog.h"

#include "analysis/TableNumbers.h"

#include <QDoubleValidator>
#include <QFormLayout>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <cmath>
#include <optional>

namespace {

void showLimit(QLineEdit& edit, const std::optional<double>& limit)
{
    edit.setText(limit ? QString::fromStdString(analysis::number(*limit)) : QString());
}

std::optional<double> read(const QLineEdit& edit)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(edit.text().trimmed(), &ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

ThresholdsDialog::ThresholdsDialog(QWidget* parent)
    : QDialog(parent)
    , buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults)
{
    setObjectName(QStringLiteral("thresholdsDialog"));
    setWindowTitle(tr("Thresholds"));
    auto* form = new QFormLayout(this);
    auto* validator = new QDoubleValidator(this);
    validator->setLocale(QLocale::c());
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setDecimals(3);

    const auto add = [&](QLineEdit& edit, const char* name, const QString& label) {
        edit.setObjectName(QLatin1String(name));
        edit.setValidator(validator);
        edit.setPlaceholderText(tr("no limit"));
        form->addRow(label, &edit);
    };
    add(maxSpliceLoss, "maxSpliceLoss", tr("Max splice loss, non-reflective events (dB)"));
    add(maxConnectorLoss, "maxConnectorLoss", tr("Max connector loss, reflective events (dB)"));
    add(maxReflectance, "maxReflectance", tr("Max reflectance (dB)"));
    for (size_t i = 0; i < maxAttenuation.size(); ++i) {
        const QByteArray name = "maxAttenuation" + QByteArray::number(analysis::attenuationBands[i]);
        add(maxAttenuation[i], name.constData(),
            tr("Max attenuation of the glass at %1 nm (dB/km)").arg(analysis::attenuationBands[i]));
    }
    add(maxTotalLoss, "maxTotalLoss", tr("Max total loss (dB)"));
    add(minOrl, "minOrl", tr("Min ORL (dB)"));
    auto* cable = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\s*((?i)auto|\\d{0,3}(\\.\\d{0,3})?)\\s*")), this);
    const auto addCable = [&](QLineEdit& edit, const char* name, const QString& label) {
        edit.setObjectName(QLatin1String(name));
        edit.setValidator(cable);
        edit.setPlaceholderText(tr("none"));
        edit.setToolTip(tr("A length in km: the span judged ends at the event nearest it; auto: at the reflective "
                           "event within 2 km of the fibre's end; empty: no cable"));
        form->addRow(label, &edit);
    };
    addCable(launchCable, "launchCable", tr("Launch cable (km, or auto)"));
    addCable(receiveCable, "receiveCable", tr("Receive cable (km, or auto)"));
    add(maxBendDelta, "maxBendDelta", tr("Max bend: more loss at the longer wavelength (dB)"));
    form->addRow(&buttons);

    connect(&buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons.button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this, [this] {
        analysis::Thresholds defaults;
        defaults.detection = detection; // not this dialog's to restore
        setThresholds(defaults);
    });
}

void ThresholdsDialog::setThresholds(const analysis::Thresholds& t)
{
    detection = t.detection;
    showLimit(maxSpliceLoss, t.maxSpliceLoss);
    showLimit(maxConnectorLoss, t.maxConnectorLoss);
    showLimit(maxReflectance, t.maxReflectance);
    for (size_t i = 0; i < maxAttenuation.size(); ++i)
        showLimit(maxAttenuation[i], t.maxAttenuation[i]);
    showLimit(maxTotalLoss, t.maxTotalLoss);
    showLimit(minOrl, t.minOrl);
    launchCable.setText(QString::fromStdString(analysis::cableSettingText(t.launchCable)));
    receiveCable.setText(QString::fromStdString(analysis::cableSettingText(t.receiveCable)));
    showLimit(maxBendDelta, t.maxBendDelta);
}

analysis::Thresholds ThresholdsDialog::thresholds() const
{
    analysis::Thresholds t;
    t.detection = detection;
    t.maxSpliceLoss = read(maxSpliceLoss);
    t.maxConnectorLoss = read(maxConnectorLoss);
    t.maxReflectance = read(maxReflectance);
    for (size_t i = 0; i < maxAttenuation.size(); ++i)
        t.maxAttenuation[i] = read(maxAttenuation[i]);
    t.maxTotalLoss = read(maxTotalLoss);
    t.minOrl = read(minOrl);
    t.launchCable = analysis::parseCableSetting(launchCable.text().toStdString()).value_or(analysis::CableSetting());
    t.receiveCable = analysis::parseCableSetting(receiveCable.text().toStdString()).value_or(analysis::CableSetting());
    t.maxBendDelta = read(maxBendDelta);
    return t;
}
