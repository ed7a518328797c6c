// The list control of the playlist: a report view with grid lines and whole-row, multiple selection.
// It tells apart a mouse button released over a row's check box (the mark toggles, then
// checkBoxReleased) from any other click; the space bar toggles the mark and nothing else; a header
// click sorts, ascending first and then alternately; Ctrl+C copies the selected rows (all when none
// is selected); movie files and folders dropped from a file manager are handed on.
#pragma once

#include <QTableView>

namespace lumo::app {

class PlaylistView : public QTableView {
    Q_OBJECT

public:
    explicit PlaylistView(QWidget* parent = nullptr);

    // The first selected row in list order, or -1.
    int selectedRow() const;
    QList<int> selectedRows() const;

signals:
    void checkBoxReleased(int row);
    void pathsDropped(const QStringList& paths);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool overCheckBox(const QPoint& position, int& row) const;
    bool moveWithoutModifiers(QKeyEvent* event);
    void headerClicked();
    void copySelection();

    int m_pressedCheckBox = -1;
    bool m_ascending = true;
};

} // namespace lumo::app
