// The wizard's pages as designed: their controls, captions, hints and defaults.
#include "CreatorWindow.h"
#include "core/ProjectParams.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

namespace lumo::creator {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& hint, QRect at)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setGeometry(at);
    return b;
}

QSpinBox* spin(QWidget* parent, const char* name, int value, int min, int max, QRect at)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setGeometry(at);
    return s;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    return l;
}

// The watermark of the first and last pages: our own picture, the product's mark on dark red.
class Watermark : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient ground(0, 0, 0, height());
        ground.setColorAt(0, QColor(120, 16, 24));
        ground.setColorAt(1, QColor(50, 6, 10));
        p.fillRect(rect(), ground);
        const QRectF mark(width() / 2.0 - 40, 60, 80, 80);
        p.setPen(QPen(Qt::white, 7));
        p.drawEllipse(mark.adjusted(5, 5, -5, -5));
        QPolygonF play;
        play << QPointF(mark.left() + 32, mark.top() + 24) << QPointF(mark.left() + 32, mark.bottom() - 24)
             << QPointF(mark.right() - 20, mark.center().y());
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawPolygon(play);
    }
};

} // namespace

QWidget* CreatorWindow::buildWelcomePage(const QString& text)
{
    auto* page = new QWidget;
    (new Watermark(page))->setGeometry(0, 0, 164, 270);
    auto* words = new QLabel(text, page);
    words->setWordWrap(true);
    words->setGeometry(180, 20, 300, 200);
    return page;
}

QWidget* CreatorWindow::buildPlayPage()
{
    auto* page = new QWidget;
    m_fl = new QTreeWidget(page);
    m_fl->setObjectName("FL");
    m_fl->setHeaderLabels({QStringLiteral("File Name")});
    m_fl->setRootIsDecorated(false);
    m_fl->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fl->setGeometry(8, 8, 330, 180);
    auto* remove = new QAction(QStringLiteral("Delete selected"), m_fl);
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);
    auto* clear = new QAction(QStringLiteral("Clear all"), m_fl);
    clear->setShortcut(QKeySequence("Ctrl+Del"));
    clear->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, [this] { deleteSelected(); });
    connect(clear, &QAction::triggered, m_fl, &QTreeWidget::clear);
    m_fl->addActions({remove, clear});
    m_fl->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_selectAll = new QCheckBox(QStringLiteral("Select all"), page);
    m_selectAll->setObjectName("CheckBox5");
    m_selectAll->setChecked(true);
    m_selectAll->setGeometry(8, 192, 150, 20);
    connect(m_selectAll, &QCheckBox::clicked, this, [this](bool on) {
        for (int i = 0; i < m_fl->topLevelItemCount(); ++i)
            m_fl->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    });
    connect(button(page, "Button1", "Add file", "Add file to playlist", {348, 8, 130, 25}), &QPushButton::clicked, this,
            [this] { addFile(); });
    connect(button(page, "Button2", "Add folder", "Add folder to playlist", {348, 38, 130, 25}), &QPushButton::clicked,
            this, [this] { addFolder(); });
    connect(button(page, "Button3", "Add URL", "Add web URL to playlist", {348, 68, 130, 25}), &QPushButton::clicked,
            this, [this] { addUrl(); });
    m_play1 = new QRadioButton(QStringLiteral("Play only one file"), page);
    m_play1->setObjectName("Play1");
    m_play1->setChecked(true);
    m_rnd = new QRadioButton(QStringLiteral("Random"), page);
    m_rnd->setObjectName("Rnd");
    m_one = new QRadioButton(QStringLiteral("One by one"), page);
    m_one->setObjectName("One");
    m_play1->setGeometry(348, 104, 150, 20);
    m_rnd->setGeometry(348, 126, 150, 20);
    m_one->setGeometry(348, 148, 150, 20);
    label(page, QStringLiteral("Change every (min.)"), 348, 174);
    m_timer = spin(page, "timer", 5, 1, 200, {348, 192, 70, 24});
    // Current Windows has no Flash control: the screensaver plays these videos there instead.
    m_videos = new QCheckBox(QStringLiteral("Make videos for Windows without Flash"), page);
    m_videos->setObjectName("Videos");
    m_videos->setChecked(true);
    m_videos->setToolTip(QStringLiteral("Each Flash movie is recorded once, as long as it plays, when the "
                                        "screensaver is built"));
    m_videos->setGeometry(8, 216, 330, 20);
    auto* length = label(page, QStringLiteral("Length of scripted and long movies (s)"), 26, 242);
    m_videoSeconds = spin(page, "VideoSeconds", kDefaultVideoSeconds, 1, kMaxVideoSeconds, {268, 238, 70, 24});
    connect(m_videos, &QCheckBox::toggled, this, [length, this](bool on) {
        length->setEnabled(on);
        m_videoSeconds->setEnabled(on);
    });
    return page;
}

QWidget* CreatorWindow::buildLogoPage()
{
    auto* page = new QWidget;
    auto* panel = new QWidget(page);
    panel->setGeometry(8, 8, 330, 220);
    panel->setEnabled(false); // the movie takes no input
    m_st = m_services.views(panel);
    m_st->widget()->setObjectName("st");
    m_st->widget()->setGeometry(0, 0, 330, 220);
    connect(button(page, "Button4", "Open file", "Open file (*.swf;*.jpg*.png)", {348, 8, 130, 25}),
            &QPushButton::clicked, this, [this] { openLogoFile(); });
    connect(button(page, "Button6", "Open URL", "Open file from internet", {348, 38, 130, 25}), &QPushButton::clicked,
            this, [this] { openLogoUrl(); });
    return page;
}

QWidget* CreatorWindow::buildDialogPage()
{
    auto* page = new QWidget;
    label(page, QStringLiteral("Height"), 8, 10);
    m_he = spin(page, "he", 400, kDialogSizeMin, kDialogSizeMax, {90, 6, 80, 24});
    label(page, QStringLiteral("Width"), 8, 40);
    m_we = spin(page, "we", 470, kDialogSizeMin, kDialogSizeMax, {90, 36, 80, 24});
    m_le = spin(page, "le", 0, -999999, 999999, {90, 66, 80, 24});
    m_te = spin(page, "te", 0, -999999, 999999, {90, 96, 80, 24});
    m_le->hide();
    m_te->hide();
    label(page, QStringLiteral("Window title"), 190, 10);
    m_edit3 = new QLineEdit(QStringLiteral("Your title"), page);
    m_edit3->setObjectName("Edit3");
    m_edit3->setGeometry(190, 30, 290, 24);
    m_checkBox1 = new QCheckBox(QStringLiteral("Show mute control"), page);
    m_checkBox1->setObjectName("CheckBox1");
    m_checkBox1->setChecked(true);
    m_checkBox1->setGeometry(190, 66, 200, 20);
    m_checkBox3 = new QCheckBox(QStringLiteral("Mute on"), page);
    m_checkBox3->setObjectName("CheckBox3");
    m_checkBox3->hide();
    m_checkBox2 = new QCheckBox(QStringLiteral("Show text"), page);
    m_checkBox2->setObjectName("CheckBox2");
    m_checkBox2->setChecked(true);
    m_checkBox2->setGeometry(190, 92, 200, 20);
    m_edit2 = new QLineEdit(QStringLiteral("Your text here"), page);
    m_edit2->setObjectName("Edit2");
    m_edit2->setGeometry(190, 116, 290, 24);
    connect(button(page, "Button5", "Preview", "Launch preview", {190, 160, 100, 25}), &QPushButton::clicked, this,
            [this] { showPreview(); });
    for (QSpinBox* s : {m_he, m_we, m_le, m_te})
        connect(s, &QSpinBox::valueChanged, this, [this] { geometryChanged(); });
    return page;
}

QWidget* CreatorWindow::buildSavingPage()
{
    auto* page = new QWidget;
    struct Edit {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
        const char* text;
        const char* title;
        const char* filter;
        bool save;
    };
    const Edit edits[] = {
        {m_filed, "filed", "Project Name", "ProjectName", "Save project as", "Executable (*.exe)", true},
        {m_iconed, "iconed", "Project icon", "Your icon", "Select project icon", "Icon files (*.ico)", false},
        {m_liced, "liced", "License", "License", "Select license text", "Text files (*.txt)", false},
    };
    int y = 8;
    for (const Edit& e : edits) {
        label(page, QString::fromLatin1(e.caption), 8, y);
        e.edit = new QLineEdit(QString::fromLatin1(e.text), page);
        e.edit->setObjectName(e.name);
        e.edit->setGeometry(8, y + 18, 400, 24);
        QLineEdit* edit = e.edit;
        // Double quotes go (ReplaceAll); the text is set again only when that changed it.
        connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
            const QString plain = ReplaceAll(text, QStringLiteral("\""), QString());
            if (plain != text)
                edit->setText(plain);
        });
        auto* browseButton = new QPushButton(QStringLiteral("..."), page);
        browseButton->setObjectName(QString::fromLatin1(e.name) + "Browse");
        browseButton->setGeometry(414, y + 18, 40, 24);
        const QString title = QString::fromLatin1(e.title), filter = QString::fromLatin1(e.filter);
        const bool save = e.save;
        connect(browseButton, &QPushButton::clicked, this,
                [this, edit, title, filter, save] { browse(edit, title, filter, save); });
        y += 56;
    }
    return page;
}

QWidget* CreatorWindow::buildCompilingPage()
{
    auto* page = new QWidget;
    label(page, QStringLiteral("Operation"), 8, 40);
    m_label11 = new QLabel(page);
    m_label11->setObjectName("Label11");
    m_label11->setGeometry(8, 60, 470, 20);
    m_bar = new QProgressBar(page);
    m_bar->setObjectName("bar");
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setGeometry(8, 88, 470, 18);
    return page;
}

QWidget* CreatorWindow::buildFinishPage()
{
    QWidget* page = buildWelcomePage(QStringLiteral("Your screensaver is ready. Press \"Finish\" to close the "
                                                    "Creator; with \"Launch my project!\" ticked it starts at once."));
    m_checkBox4 = new QCheckBox(QStringLiteral("Launch my project!"), page);
    m_checkBox4->setObjectName("CheckBox4");
    m_checkBox4->setChecked(true);
    m_checkBox4->setGeometry(180, 220, 250, 20);
    return page;
}

} // namespace lumo::creator
