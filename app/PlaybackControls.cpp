#include "PlaybackControls.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>

namespace lumo::app {

namespace {

// A drop-down list that says when its list closes (CloseUp).
class CloseUpComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> closedUp;
    void hidePopup() override
    {
        // Only a list the user opened closes up; hiding a window hides closed lists too. The list
        // closes before the pick is reported: the close-up comes after it, and applies the pick.
        const bool wasOpen = view()->isVisible();
        QComboBox::hidePopup();
        if (wasOpen && closedUp)
            QMetaObject::invokeMethod(this, closedUp, Qt::QueuedConnection);
    }
};

// The interval box: digits, signs and the decimal separator may be typed; a number out of 1..200
// stays as typed while the box has the focus and is brought into range when it loses it; text that
// is no integer counts as 1.
class TimerBox : public QSpinBox {
public:
    explicit TimerBox(QWidget* parent)
        : QSpinBox(parent)
    {
        setRange(-999999999, 999999999);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setKeyboardTracking(true);
        setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    }
    void stepBy(int steps) override { setValue(std::clamp(value() + steps, 1, 200)); }

protected:
    QValidator::State validate(QString& text, int&) const override
    {
        for (const QChar c : text)
            if (!c.isDigit() && c != '-' && c != '+' && c != '.' && c != ',')
                return QValidator::Invalid;
        return QValidator::Acceptable;
    }
    int valueFromText(const QString& text) const override
    {
        bool ok = false;
        const int v = text.toInt(&ok);
        return ok ? v : 1;
    }
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled;
        if (value() > 1)
            enabled |= StepDownEnabled;
        if (value() < 200)
            enabled |= StepUpEnabled;
        return enabled;
    }
};

} // namespace

PlaybackControls::PlaybackControls(EditorControls& controls, QWidget* playback, QWidget* playlist, QMenu* view,
                                   Actions actions)
    : QObject(playback)
    , m_controls(controls)
    , m_actions(std::move(actions))
{
    m_loop = new QCheckBox(QStringLiteral("Loop"), playback);
    m_loop->setObjectName("loop");
    m_loop->setToolTip(QStringLiteral("Loop setting"));
    m_loop->setGeometry(10, 22, 170, 20);
    m_mute = new QCheckBox(QStringLiteral("Mute sound"), playback);
    m_mute->setObjectName("mute");
    m_mute->setToolTip(QStringLiteral("Check to mute"));
    m_mute->setGeometry(10, 46, 170, 20);
    (new QLabel(QStringLiteral("Scale"), playback))->setGeometry(10, 76, 170, 16);
    auto* scale = new CloseUpComboBox(playback);
    m_scale = scale;
    m_scale->setObjectName("scale");
    for (const char* name : EditorControls::kScaleNames)
        m_scale->addItem(QString::fromLatin1(name));
    m_scale->setToolTip(QStringLiteral("Select scale movie"));
    m_scale->setGeometry(10, 94, 170, 24);
    (new QLabel(QStringLiteral("Quality"), playback))->setGeometry(10, 126, 170, 16);
    auto* qua = new CloseUpComboBox(playback);
    m_qua = qua;
    m_qua->setObjectName("qua");
    for (const char* name : EditorControls::kQualityNames)
        m_qua->addItem(QString::fromLatin1(name));
    m_qua->setToolTip(QStringLiteral("Quality settings, set \"Low\" if your computer is too slow"));
    m_qua->setGeometry(10, 144, 170, 24);

    m_play1 = new QRadioButton(QStringLiteral("Play only first selected file"), playlist);
    m_play1->setObjectName("Play1");
    m_play1->setToolTip(QStringLiteral("Check to play only the first file in the playlist"));
    m_rnd = new QRadioButton(QStringLiteral("Random"), playlist);
    m_rnd->setObjectName("Rnd");
    m_rnd->setToolTip(QStringLiteral("Random playing file from playlist"));
    m_one = new QRadioButton(QStringLiteral("One by one"), playlist);
    m_one->setObjectName("One");
    m_one->setToolTip(QStringLiteral("Check to play files one-by-one"));
    m_play1->setGeometry(318, 92, 166, 20);
    m_rnd->setGeometry(318, 114, 166, 20);
    m_one->setGeometry(318, 136, 166, 20);
    // A size smaller than the window's, so the captions fit beside the playlist.
    QFont small = playlist->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (QRadioButton* radio : {m_play1, m_rnd, m_one})
        radio->setFont(small);
    auto* label = new QLabel(QStringLiteral("Time to change (min.)"), playlist);
    label->setGeometry(320, 164, 160, 16);
    m_timer = new TimerBox(playlist);
    m_timer->setObjectName("timer");
    m_timer->setToolTip(QStringLiteral("Time to change played file"));
    m_timer->setGeometry(320, 182, 70, 24);

    Loop1 = view->addAction(QStringLiteral("Loop"));
    Loop1->setObjectName("Loop1");
    Loop1->setCheckable(true);
    Mute1 = view->addAction(QStringLiteral("Mute"));
    Mute1->setObjectName("Mute1");
    Mute1->setCheckable(true);
    QMenu* quality = view->addMenu(QStringLiteral("Quality"));
    Low1 = quality->addAction(QStringLiteral("Low"));
    Low1->setObjectName("Low1");
    Low1->setCheckable(true);
    High1 = quality->addAction(QStringLiteral("High"));
    High1->setObjectName("High1");
    High1->setCheckable(true);
    // A radio pair, drawn with radio marks; choosing the marked item clears it, so none may be marked.
    auto* pair = new QActionGroup(quality);
    pair->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    pair->addAction(Low1);
    pair->addAction(High1);

    // Check boxes: their handlers come from EditorControls, which raises them on every change.
    connect(m_loop, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_refreshing)
            m_controls.setLoop(on);
    });
    connect(m_mute, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_refreshing)
            m_controls.setMute(on);
    });
    // List boxes: only the user's choice.
    connect(m_scale, &QComboBox::activated, this, [this](int index) { m_controls.setScaleIndex(index); });
    connect(m_qua, &QComboBox::activated, this, [this](int index) {
        m_controls.setQualityIndex(index);
        quaChange();
    });
    scale->closedUp = [this] { closeUp(); };
    qua->closedUp = [this] { closeUp(); };
    for (QRadioButton* radio : {m_play1, m_rnd, m_one})
        connect(radio, &QRadioButton::toggled, this, [this, radio](bool on) {
            if (m_refreshing || !on)
                return;
            if (radio == m_play1)
                m_controls.setPlay1(true);
            else if (radio == m_rnd)
                m_controls.setRnd(true);
            else
                m_controls.setOne(true);
        });
    connect(m_timer, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_refreshing)
            m_controls.typeTimer(value);
    });
    connect(m_timer, &QSpinBox::editingFinished, this, [this] {
        m_controls.leaveTimer();
        refresh();
    });
    connect(Loop1, &QAction::triggered, this, [this] { Loop1Click(); });
    connect(Mute1, &QAction::triggered, this, [this] { Mute1Click(); });
    connect(Low1, &QAction::triggered, this, [this] { Low1Click(); });
    connect(High1, &QAction::triggered, this, [this] { High1Click(); });
    refresh();
}

void PlaybackControls::refresh()
{
    m_refreshing = true;
    m_loop->setChecked(m_controls.loop());
    m_mute->setChecked(m_controls.mute());
    m_scale->setCurrentIndex(m_controls.scaleIndex());
    m_qua->setCurrentIndex(m_controls.qualityIndex());
    // Exactly one or none: the group is not exclusive so that none can be shown.
    for (QRadioButton* radio : {m_play1, m_rnd, m_one})
        radio->setAutoExclusive(false);
    m_play1->setChecked(m_controls.play1());
    m_rnd->setChecked(m_controls.rnd());
    m_one->setChecked(m_controls.one());
    for (QRadioButton* radio : {m_play1, m_rnd, m_one})
        radio->setAutoExclusive(true);
    if (m_timer->value() != m_controls.timer())
        m_timer->setValue(m_controls.timer());
    m_refreshing = false;
}

void PlaybackControls::loopClick()
{
    refresh();
    Loop1->setChecked(m_controls.loop());
    Mute1->setChecked(m_controls.mute());
    m_actions.applyViewSettings();
}

void PlaybackControls::muteClick()
{
    refresh();
    m_actions.setWaveMute(m_controls.mute());
}

void PlaybackControls::checkQualityItem()
{
    (m_controls.qualityIndex() != 0 ? High1 : Low1)->setChecked(true);
    (m_controls.qualityIndex() != 0 ? Low1 : High1)->setChecked(false);
}

void PlaybackControls::quaChange()
{
    checkQualityItem();
    m_actions.applyViewSettings();
}

void PlaybackControls::closeUp()
{
    Mute1->setChecked(m_controls.mute());
    m_actions.applyViewSettings();
}

void PlaybackControls::Loop1Click()
{
    m_controls.setLoop(Loop1->isChecked());
    m_actions.applyViewSettings();
}

void PlaybackControls::Mute1Click()
{
    m_controls.setMute(Mute1->isChecked());
}

void PlaybackControls::Low1Click()
{
    if (Low1->isChecked()) {
        High1->setChecked(false);
        m_controls.setQualityIndex(0);
        refresh();
    }
    m_actions.applyViewSettings();
}

void PlaybackControls::High1Click()
{
    if (High1->isChecked()) {
        Low1->setChecked(false);
        m_controls.setQualityIndex(1);
        refresh();
    }
    m_actions.applyViewSettings();
}

} // namespace lumo::app
