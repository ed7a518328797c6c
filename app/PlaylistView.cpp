#include "PlaylistView.h"

#include "PlaylistModel.h"
#include "app/core/PlaylistRules.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

namespace lumo::app {

PlaylistView::PlaylistView(QWidget* parent)
    : QTableView(parent)
{
    setObjectName("FL");
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this] { headerClicked(); });
}

int PlaylistView::selectedRow() const
{
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.front();
}

QList<int> PlaylistView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool PlaylistView::overCheckBox(const QPoint& position, int& row) const
{
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
    row = index.row();
    return box.contains(position);
}

void PlaylistView::mousePressEvent(QMouseEvent* event)
{
    // A press on a check box leaves the selection alone; the release toggles the mark.
    int row = -1;
    if (event->button() == Qt::LeftButton && overCheckBox(event->position().toPoint(), row)) {
        m_pressedCheckBox = row;
        event->accept();
        return;
    }
    m_pressedCheckBox = -1;
    QTableView::mousePressEvent(event);
}

void PlaylistView::mouseReleaseEvent(QMouseEvent* event)
{
    int row = -1;
    const int pressed = std::exchange(m_pressedCheckBox, -1);
    if (pressed >= 0) {
        if (overCheckBox(event->position().toPoint(), row) && row == pressed) {
            auto* playlist = static_cast<PlaylistModel*>(model());
            playlist->setChecked(row, !playlist->row(row).checked);
            emit checkBoxReleased(row);
        }
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void PlaylistView::mouseDoubleClickEvent(QMouseEvent* event)
{
    int row = -1;
    if (overCheckBox(event->position().toPoint(), row)) {
        // A second click on a check box is a second toggle, as the list control counts it.
        mousePressEvent(event);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void PlaylistView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const QModelIndex current = currentIndex();
        if (current.isValid()) {
            auto* playlist = static_cast<PlaylistModel*>(model());
            playlist->setChecked(current.row(), !playlist->row(current.row()).checked);
        }
        return;
    }
    if (moveWithoutModifiers(event))
        return;
    QTableView::keyPressEvent(event);
}

bool PlaylistView::moveWithoutModifiers(QKeyEvent* event)
{
    // The view's own handling selects the new row twice, the second time undoing the rows that
    // selecting it brought along; the list control makes one change.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    static const std::pair<int, CursorAction> kMoves[] = {
        {Qt::Key_Up, MoveUp},         {Qt::Key_Down, MoveDown}, {Qt::Key_PageUp, MovePageUp},
        {Qt::Key_PageDown, MovePageDown}, {Qt::Key_Home, MoveHome}, {Qt::Key_End, MoveEnd},
    };
    const auto move = std::find_if(std::begin(kMoves), std::end(kMoves),
                                   [event](const auto& m) { return m.first == event->key(); });
    if (move == std::end(kMoves))
        return false;
    const QModelIndex next = moveCursor(move->second, event->modifiers());
    if (next.isValid() && next != currentIndex()) {
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(next);
    }
    event->accept();
    return true;
}

void PlaylistView::headerClicked()
{
    model()->sort(0, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_ascending = !m_ascending;
}

void PlaylistView::copySelection()
{
    auto* playlist = static_cast<PlaylistModel*>(model());
    QList<int> rows = selectedRows();
    if (rows.isEmpty())
        for (int i = 0; i < playlist->rowCount(); ++i)
            rows << i;
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(rows.size()));
    for (int row : rows)
        texts.push_back(playlist->row(row).text);
    QApplication::clipboard()->setText(QString::fromStdString(playlistClipboardText(texts)));
}

void PlaylistView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PlaylistView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PlaylistView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

} // namespace lumo::app
