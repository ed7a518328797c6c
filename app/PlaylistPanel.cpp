#include "PlaylistPanel.h"

#include <QAction>
#include <QHeaderView>
#include <QTimer>

#include <vector>

namespace lumo::app {

PlaylistPanel::PlaylistPanel(PreviewSink& preview, QWidget* parent)
    : QGroupBox(QStringLiteral("Playlist settings"), parent)
    , m_preview(preview)
{
    setObjectName("PlaylistSettings");
    m_view = new PlaylistView(this);
    m_view->setModel(&m_model);
    m_view->setGeometry(8, 20, 305, 209);
    m_view->horizontalHeader()->resizeSection(0, 301);

    m_up = new QPushButton(QStringLiteral("Move up"), this);
    m_up->setObjectName("Button3");
    m_up->setToolTip(QStringLiteral("Move selected item up"));
    m_down = new QPushButton(QStringLiteral("Move down"), this);
    m_down->setObjectName("Button4");
    m_down->setToolTip(QStringLiteral("Move selected item down"));
    m_up->setGeometry(320, 20, 75, 25);
    m_down->setGeometry(320, 50, 75, 25);
    connect(m_up, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(m_down, &QPushButton::clicked, this, [this] { Button4Click(); });

    auto* remove = new QAction(QStringLiteral("Delete"), m_view);
    remove->setObjectName("N2");
    auto* clear = new QAction(QStringLiteral("Clear all"), m_view);
    clear->setObjectName("N3");
    connect(remove, &QAction::triggered, this, [this] { N2Click(); });
    connect(clear, &QAction::triggered, this, [this] { N3Click(); });
    m_view->addAction(remove);
    m_view->addAction(clear);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &PlaylistPanel::selectionChanged);
    connect(m_view, &PlaylistView::checkBoxReleased, this, &PlaylistPanel::FLMouseUp);
    // The first row added to an empty list with nothing selected gets selected once pending events run.
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (first == 0 && last + 1 == m_model.rowCount() && m_view->selectedRow() < 0)
            QTimer::singleShot(0, this, [this] {
                if (m_model.rowCount() > 0 && m_view->selectedRow() < 0)
                    selectRow(0, true);
            });
    });
}

void PlaylistPanel::AddEntry(const std::string& text, bool checked)
{
    m_model.insert(m_model.rowCount(), {text, checked});
}

void PlaylistPanel::addEntries(const std::vector<PlaylistRow>& rows)
{
    m_model.append(rows);
}

void PlaylistPanel::selectRow(int row, bool focus)
{
    const QModelIndex index = m_model.index(row, 0);
    m_view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (focus) {
        m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_view->scrollTo(index);
    }
}

void PlaylistPanel::N2Click()
{
    const int row = m_view->selectedRow();
    if (row < 0)
        return;
    removeRow(row);
    advanceSelection();
    if (m_model.rowCount() == 0)
        m_preview.ClearPreview();
}

void PlaylistPanel::N3Click()
{
    m_removing = true;
    m_model.clear();
    m_removing = false;
    m_preview.ClearPreview();
}

void PlaylistPanel::Button3Click()
{
    const int row = m_view->selectedRow();
    if (row <= 0)
        return;
    moveSelected(row - 1);
}

void PlaylistPanel::Button4Click()
{
    const int row = m_view->selectedRow();
    if (row < 0)
        return;
    moveSelected(std::min(row + 2, m_model.rowCount()));
}

void PlaylistPanel::moveSelected(int to)
{
    // A copy goes in at `to`, the old row goes, and the copy is selected (which plays it if checked).
    const int from = m_view->selectedRow();
    const PlaylistRow moved = m_model.row(from);
    m_model.insert(to, moved);
    removeRow(to <= from ? from + 1 : from);
    const int now = to <= from ? to : to - 1;
    selectRow(now, true);
}

void PlaylistPanel::removeRow(int row)
{
    m_removing = true;
    m_model.remove(row);
    m_removing = false;
}

void PlaylistPanel::advanceSelection()
{
    const int i = m_view->selectedRow();
    if (i + 1 < m_model.rowCount())
        selectRow(i + 1, false);
    const int first = m_view->selectedRow();
    if (first >= 0)
        selectRow(first, true);
}

void PlaylistPanel::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (m_removing)
        return;
    // As the list control reports them: the rows that left the selection, then those that joined
    // it, so the row the user went to is handled last. A change made while one is handled comes
    // next, before the rest, as a nested report would.
    std::vector<RowChange> changes;
    for (const auto& [part, joined] : {std::pair{&deselected, false}, {&selected, true}})
        for (const QModelIndex& index : part->indexes())
            if (index.column() == 0)
                changes.push_back({index.row(), joined});
    m_pendingRows.insert(m_pendingRows.begin(), changes.begin(), changes.end());
    if (m_handlingRows)
        return;
    m_handlingRows = true;
    while (!m_pendingRows.empty()) {
        const RowChange change = m_pendingRows.front();
        m_pendingRows.pop_front();
        if (change.row < m_model.rowCount())
            FLSelectItem(change.row, change.selected);
    }
    m_handlingRows = false;
}

void PlaylistPanel::FLSelectItem(int row, bool selected)
{
    if (m_model.row(row).checked)
        m_preview.PlayInPreview(m_model.row(row).text);
    else if (selected)
        advanceSelection(); // an unchecked row the user left brings no other row into the selection
}

void PlaylistPanel::FLMouseUp(int row)
{
    const QModelIndex index = m_model.index(row, 0);
    if (m_model.row(row).checked) {
        m_view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_preview.PlayInPreview(m_model.row(row).text);
    } else {
        m_view->selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        m_preview.ClearPreview();
    }
}

} // namespace lumo::app
