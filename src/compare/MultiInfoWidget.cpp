#include "compare/MultiInfoWidget.h"

#include "widgets/TightGridLayout.h"

MultiInfoWidget::MultiInfoWidget(QWidget* parent)
    : CSplitter(Qt::Vertical, parent)
    , overview(&eventDisplay)
    , eventsHolder(this)
    , eventDisplay(&eventsHolder)
{
    setObjectName(QStringLiteral("MultiInfoWidget"));
    eventsLayout = new TightGridLayout(&eventsHolder);
    eventsLayout->setContentsMargins(0, 0, 0, 0);
    eventsLayout->addWidget(&eventDisplay);
    addWidget(&overview);
    addWidget(&eventsHolder);
    addWidget(overview.cursorInfoWidget);
    overview.fitCursorPanel();
}
