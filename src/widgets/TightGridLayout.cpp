#include "widgets/TightGridLayout.h"

TightGridLayout::TightGridLayout(QWidget* parent)
    : QGridLayout(parent)
{
}
