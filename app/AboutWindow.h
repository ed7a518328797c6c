// TForm5, About: frameless, on top, 508 x 281, centred on the main window. A picture of the
// product's logo and name on dark red, and over it the operating system's product name, the
// movie control's major version and the maker's web site and support address (both clickable).
// A click on the picture hides it; its values are read afresh at each showing.
#pragma once

#include "platform/Shell.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;

namespace lumo::app {

inline constexpr const char* kMakerWebSite = "https://corvane.example/lumo-screensaver";
inline constexpr const char* kMakerSupportEmail = "support@corvane.example";

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    struct Sources {
        std::function<std::string()> productName; // of the operating system
        std::function<int()> flashVersion; // of the main window's preview view
        std::function<std::string()> engineName; // of that view, when it is not the Flash control
    };

    // inform says what could not be started (no browser, no mail program).
    AboutWindow(platform::Shell& shell, std::function<void(QWidget* owner, const QString& text)> inform,
                QWidget* parent = nullptr);
    void setSources(Sources sources) { m_sources = std::move(sources); }
    // Shows it centred on owner, or only brings it to the front when it is shown already.
    void About1Click(QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Shell& m_shell;
    std::function<void(QWidget* owner, const QString& text)> m_inform;
    Sources m_sources;
    QLabel* m_flashCaption = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label6 = nullptr;
    QLabel* m_label9 = nullptr;
    QLabel* m_label10 = nullptr;
};

} // namespace lumo::app
