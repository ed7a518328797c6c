#include "PlaylistModel.h"

#include "app/core/PlaylistRules.h"
#include "formats/SwfHeader.h"
#include "playback/MovieLocation.h"

#include <QColor>
#include <QFile>

#include <algorithm>

namespace lumo::app {

int PlaylistModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlaylistModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PlaylistRow& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(r.text);
    case Qt::ToolTipRole:
        return toolTipOf(QString::fromStdString(r.text));
    case Qt::CheckStateRole:
        return r.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole:
        return index.row() % 2 ? QColor(192, 220, 192) : QColor(Qt::white);
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return {};
    }
}

QString PlaylistModel::toolTipOf(const QString& text)
{
    // Read afresh at each hover: only the movie's first bytes, and the file may have changed.
    if (playback::isWebAddress(text))
        return text;
    QFile file(playback::localPathOf(text));
    if (!file.open(QIODevice::ReadOnly))
        return text;
    const QByteArray read = file.read(static_cast<qint64>(formats::kSwfHeaderBytes));
    const std::string_view first(read.constData(), static_cast<size_t>(read.size()));
    if (!formats::hasSwfSignature(first))
        return text;
    const Result<formats::SwfHeader> header = formats::readSwfHeader(first);
    return text + QLatin1Char('\n')
        + QString::fromStdString(header ? formats::describeSwfHeader(*header)
                                        : "Cannot read the movie's header: " + header.message());
}

bool PlaylistModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("File Name");
    return {};
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void PlaylistModel::sort(int, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> from(m_rows.size());
    for (size_t i = 0; i < from.size(); ++i)
        from[i] = static_cast<int>(i);
    std::stable_sort(from.begin(), from.end(), [&](int a, int b) {
        const int c = comparePlaylistTexts(m_rows[static_cast<size_t>(a)].text, m_rows[static_cast<size_t>(b)].text);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<PlaylistRow> sorted;
    sorted.reserve(m_rows.size());
    for (int i : from)
        sorted.push_back(std::move(m_rows[static_cast<size_t>(i)]));
    m_rows = std::move(sorted);
    // Selections and the current row follow their rows to the new places.
    QModelIndexList before, after;
    std::vector<int> to(from.size());
    for (size_t i = 0; i < from.size(); ++i)
        to[static_cast<size_t>(from[i])] = static_cast<int>(i);
    for (const QModelIndex& old : persistentIndexList()) {
        before << old;
        after << index(to[static_cast<size_t>(old.row())], old.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PlaylistModel::insert(int at, const PlaylistRow& row)
{
    beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, row);
    endInsertRows();
}

void PlaylistModel::append(const std::vector<PlaylistRow>& rows)
{
    if (rows.empty())
        return;
    beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(rows.size()) - 1);
    m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    endInsertRows();
}

void PlaylistModel::remove(int at)
{
    beginRemoveRows({}, at, at);
    m_rows.erase(m_rows.begin() + at);
    endRemoveRows();
}

void PlaylistModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void PlaylistModel::setChecked(int index, bool checked)
{
    m_rows[static_cast<size_t>(index)].checked = checked;
    const QModelIndex changed = this->index(index, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

} // namespace lumo::app
