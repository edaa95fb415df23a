// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dataset_model.h"

namespace platform {

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset) {
  connect(dataset, &Dataset::RowsChanged, this, [this] {
    beginResetModel();
    endResetModel();
  });
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_dataset ? 0 : m_dataset->RecordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_dataset ? 0 : static_cast<int>(m_dataset->FieldNames().size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
  if (!m_dataset || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
    return {};
  const QVariant v = m_dataset->ValueAt(index.row(), index.column());
  return v.isNull() ? QVariant() : QVariant(v.toString());
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!m_dataset || role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return m_dataset->FieldNames().value(section);
  return section + 1;
}

}  // namespace platform
