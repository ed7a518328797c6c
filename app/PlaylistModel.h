// The playlist FL as a model: one column "File Name", a check box per row, odd rows on light green.
// Sorting follows the playlist's compare rule and keeps equal rows in their order.
#pragma once

#include "app/core/SettingsStore.h"

#include <QAbstractTableModel>

#include <vector>

namespace lumo::app {

class PlaylistModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

    const std::vector<PlaylistRow>& rows() const { return m_rows; }
    const PlaylistRow& row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    void insert(int at, const PlaylistRow& row);
    void append(const std::vector<PlaylistRow>& rows);
    void remove(int at);
    void clear();
    void setChecked(int index, bool checked);

private:
    // A local Flash movie's row tells its size, rate, frames and version: users pick movies by it.
    static QString toolTipOf(const QString& text);

    std::vector<PlaylistRow> m_rows;
};

} // namespace lumo::app
