#include "compare/MultiPlotOverviewItemWidget.h"

#include "compare/PlotEntity.h"
#include "widgets/PlainText.h"
#include "widgets/ReadoutNumber.h"

#include <QHBoxLayout>
#include <QListWidgetItem>
#include <QPainter>
#include <QPixmap>

MultiPlotOverviewItemWidget::MultiPlotOverviewItemWidget(PlotEntity* e, QListWidgetItem* i, QWidget* parent)
    : QWidget(parent)
    , label(this)
    , visibleBox(this)
    , swatch(this)
    , viewButton(tr("View"), this)
    , removeButton(tr("Remove"), this)
    , entity(e)
    , item(i)
{
    setObjectName(QStringLiteral("MultiPlotOverviewItemWidget"));
    visibleBox.setObjectName(QStringLiteral("visibleBox"));
    viewButton.setObjectName(QStringLiteral("viewButton"));
    removeButton.setObjectName(QStringLiteral("removeButton"));
    swatch.setObjectName(QStringLiteral("swatch"));
    swatch.setFixedSize(12, 12);
    rowLayout = new QHBoxLayout(this);
    rowLayout->setContentsMargins(0, 0, 0, 1);
    visibleBox.setChecked(true);
    visibleBox.setMaximumWidth(17);
    // The style's minimum button width would leave the file name little room in a narrow list.
    for (QPushButton* button : { &viewButton, &removeButton })
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
    rowLayout->addWidget(&visibleBox);
    rowLayout->addWidget(&swatch);
    rowLayout->addWidget(&label);
    rowLayout->addWidget(&viewButton);
    rowLayout->addWidget(&removeButton);

    // The file name is shown as written, markup characters and all.
    label.setTextFormat(Qt::PlainText);
    label.setText(nameText());
    label.setToolTip(PlainText::toolTip(getStdLabelToolTip()));
    updateSwatch();
    connect(&viewButton, &QPushButton::clicked, this, &MultiPlotOverviewItemWidget::openInSingleView);
    connect(&removeButton, &QPushButton::clicked, this, &MultiPlotOverviewItemWidget::deletePlot);
    connect(&visibleBox, &QCheckBox::stateChanged, this, &MultiPlotOverviewItemWidget::changeVisibility);
}

MultiPlotOverviewItemWidget::~MultiPlotOverviewItemWidget()
{
    if (entity && entity->itemWidget == this)
        entity->itemWidget = nullptr;
}

QString MultiPlotOverviewItemWidget::nameText() const
{
    if (!entity)
        return label.text();
    // The count is filled on its own, so that a "%1" in the file name stays as it is.
    return entity->fileName + QStringLiteral(" #E:%1").arg(entity->parser.events.NumberOfEvents);
}

QString MultiPlotOverviewItemWidget::getStdLabelToolTip()
{
    if (!entity)
        return QString();
    const sor::SORParser& p = entity->parser;
    const QString details = (tr("\nNumber of Events: %1") + tr("\nWavelength: %2 nm") + tr("\nDate: ")
        + QString::fromStdString(p.fxd.Date) + tr("\nTrace Length: %3 km") + tr("\nPulse Width: %4 ns"))
                                .arg(QString::number(p.events.NumberOfEvents), QString::number(p.gen.Wavelength),
                                    num(p.fxd.Range), QString::number(p.fxd.PulseWidth));
    return tr("Path: ") + QString::fromStdWString(p.path) + details;
}

void MultiPlotOverviewItemWidget::setCursorText(QString shortText, QString cursorToolTip)
{
    label.setText(nameText() + shortText);
    label.setToolTip(PlainText::toolTip(getStdLabelToolTip() + cursorToolTip));
    // As many lines in the item as the label has extra lines, so the row is tall enough.
    if (item)
        item->setText(QString(shortText.count(QLatin1Char('\n')), QLatin1Char('\n')));
}

void MultiPlotOverviewItemWidget::updateSwatch()
{
    if (!entity)
        return;
    // A picture, not a palette: the theme sets the application's palette anew and would take the colour with it.
    QPixmap square(swatch.size());
    square.fill(PlotEntity::generatedColour(entity->colourSeed));
    QPainter painter(&square);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawRect(square.rect().adjusted(0, 0, -1, -1));
    painter.end();
    swatch.setPixmap(square);
}

void MultiPlotOverviewItemWidget::changeVisibility()
{
    if (!entity)
        return;
    entity->visible = visibleBox.isChecked();
    entity->setPen();
}

void MultiPlotOverviewItemWidget::deletePlot()
{
    if (!entity)
        return;
    entity->deleteLater();
    entity = nullptr;
}

void MultiPlotOverviewItemWidget::openInSingleView()
{
    if (!entity)
        return;
    emit openFileRequested(QString::fromStdWString(entity->parser.path));
}
