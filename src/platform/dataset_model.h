// SPDX-License-Identifier: GPL-3.0-or-later
// A grid model over a dataset's cached rows (the data sources that feed the editors' grids).
#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "platform/dataset.h"

namespace platform {

class DatasetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit DatasetModel(Dataset* dataset, QObject* parent = nullptr);
  Dataset* dataset() const { return m_dataset; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QPointer<Dataset> m_dataset;
};

}  // namespace platform
