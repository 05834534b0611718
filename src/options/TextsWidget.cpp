#include "options/TextsWidget.h"

#include "analysis/TextEncoding.h"
#include "widgets/TightGridLayout.h"

TextsWidget::TextsWidget(QWidget* parent)
    : GWidget(parent)
    , encodingLabel(tr("Text encoding"), this)
    , encodingBox(this)
    , noteLabel(this)
{
    setObjectName(QStringLiteral("textsWidget"));
    encodingBox.setObjectName(QStringLiteral("encodingBox"));
    using analysis::TextEncoding;
    encodingBox.addItem(tr("Automatic"), int(TextEncoding::Automatic));
    encodingBox.addItem(tr("UTF-8"), int(TextEncoding::Utf8));
    encodingBox.addItem(tr("Windows-1251 (Cyrillic)"), int(TextEncoding::Windows1251));
    encodingBox.addItem(tr("Latin-1 (Western European)"), int(TextEncoding::Latin1));
    encodingBox.setCurrentIndex(encodingBox.findData(int(analysis::textEncoding())));
    noteLabel.setText(tr("Instruments store names, locations and comments in the code page they were set up with, "
                         "whatever language the file names. Automatic reads UTF-8 as UTF-8, names that read as "
                         "Cyrillic words as Windows-1251 and anything else as Latin-1. The choice holds for the "
                         "files opened from now on, until the program ends."));
    noteLabel.setWordWrap(true);
    encodingLabel.setBuddy(&encodingBox);
    layout->setContentsMargins(9, 9, 9, 9);
    layout->setHorizontalSpacing(9);
    layout->setVerticalSpacing(9);
    layout->addWidget(&encodingLabel, 0, 0);
    layout->addWidget(&encodingBox, 0, 1);
    layout->addWidget(&noteLabel, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    connect(&encodingBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        analysis::setTextEncoding(static_cast<analysis::TextEncoding>(encodingBox.itemData(index).toInt()));
    });
}
