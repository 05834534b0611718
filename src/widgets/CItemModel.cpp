#include "widgets/CItemModel.h"

CItemModel::CItemModel(QObject* parent)
    : QStandardItemModel(parent)
{
}
