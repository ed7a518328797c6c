// The group "Playlist settings": the playlist FL with its context menu, and "Move up" / "Move down".
// It holds the playlist's commands (AddEntry, delete, clear, move) and what selecting and checking
// rows does: a row whose selection changes plays in the preview when checked; an unchecked row that
// becomes selected advances the selection to the next row; a released check box selects and plays or unselects and
// blanks. The preview itself belongs to the main window, reached through PreviewSink.
#pragma once

#include "PlaylistModel.h"
#include "PlaylistView.h"

#include <QGroupBox>
#include <QPushButton>

#include <deque>
#include <string>

namespace lumo::app {

class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    virtual void PlayInPreview(const std::string& text) = 0;
    virtual void ClearPreview() = 0;
};

class PlaylistPanel : public QGroupBox {
    Q_OBJECT

public:
    PlaylistPanel(PreviewSink& preview, QWidget* parent = nullptr);

    PlaylistView* FL() const { return m_view; }
    PlaylistModel& model() { return m_model; }
    const std::vector<PlaylistRow>& rows() const { return m_model.rows(); }

    void AddEntry(const std::string& text, bool checked);
    // Many rows at once (the list file), with the same effect as adding them one by one.
    void addEntries(const std::vector<PlaylistRow>& rows);
    void N2Click(); // delete the selected row
    void N3Click(); // clear the list
    void Button3Click(); // move up
    void Button4Click(); // move down

private:
    void FLSelectItem(int row, bool selected);
    void FLMouseUp(int row);
    void advanceSelection();
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void selectRow(int row, bool focus);
    void moveSelected(int to);
    void removeRow(int row);

    PreviewSink& m_preview;
    PlaylistModel m_model;
    PlaylistView* m_view = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    // Rows whose selection changed, handled one after another: advancing through a run of unchecked
    // rows selects row after row without nesting a call per row.
    struct RowChange {
        int row;
        bool selected;
    };
    std::deque<RowChange> m_pendingRows;
    bool m_handlingRows = false;
    // Rows that go with a deletion leave the selection without being "deselected" by anyone.
    bool m_removing = false;
};

} // namespace lumo::app
