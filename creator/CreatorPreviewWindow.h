// TForm8: how the produced screensaver's settings window will look: the logo, the text, a "Mute" box
// without effect and "OK". Resizing or moving it by hand writes its geometry back to the wizard.
#pragma once

#include "playback/MovieView.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;

namespace lumo::creator {

class CreatorPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit CreatorPreviewWindow(playback::MovieViewFactory views, QWidget* parent = nullptr);
    ~CreatorPreviewWindow() override;

    playback::MovieView& view() { return *m_view; }
    QLabel* label() const { return m_label; }
    QCheckBox* mute() const { return m_mute; }
    // Called with the outer geometry when the user changes it (not when the wizard does).
    std::function<void(const QRect& geometry)> userMovedOrResized;
    // The outer geometry (frame included) set by the wizard: reported to nobody, so the two never
    // feed back on each other.
    void applyGeometry(const QRect& geometry);

protected:
    void setVisible(bool visible) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void layout();
    void report();

    std::unique_ptr<playback::MovieView> m_view;
    QLabel* m_label = nullptr;
    QCheckBox* m_mute = nullptr;
    QWidget* m_ok = nullptr;
    bool m_applying = false;
};

} // namespace lumo::creator
