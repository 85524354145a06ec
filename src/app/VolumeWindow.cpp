#include "VolumeWindow.h"

#include "WindowLook.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QTimer>

using namespace kelvos;

namespace {
constexpr int kSliderWidth = 160;
constexpr int kPageStep = 10;
// Keys and the wheel move the tone slider step by step: its tone sounds once the level has
// rested this long, not at every step.
constexpr int kToneRestMs = 300;
} // namespace

VolumeWindow::VolumeWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setUpToolWindow(*this, "VolumeWindow", "Volume", true);
    new QGridLayout(this);
    VoiceVolume = addSlider("VoiceVolume", QStringLiteral("Voice"), 0);
    ToneVolume = addSlider("ToneVolume", QStringLiteral("Tones"), 1);
    setFixedSize(sizeHint());

    toneRest_ = new QTimer(this);
    toneRest_->setSingleShot(true);
    toneRest_->setInterval(kToneRestMs);
    connect(toneRest_, &QTimer::timeout, this, &VolumeWindow::toneLevelTried);
    // The operator's own moves only: levels set from the settings sound no tone.
    connect(ToneVolume, &QSlider::actionTriggered, this, [this] {
        if (!ToneVolume->isSliderDown())
            toneRest_->start();
    });
    connect(ToneVolume, &QSlider::sliderReleased, this, &VolumeWindow::toneLevelTried);
}

// A row of the window: the caption, the slider and the level it shows in percent.
QSlider* VolumeWindow::addSlider(const char* name, const QString& caption, int row) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, SoundLevels::kFull);
    slider->setPageStep(kPageStep);
    slider->setValue(SoundLevels::kFull);
    slider->setMinimumWidth(kSliderWidth);
    auto* label = new QLabel(caption, this);
    label->setBuddy(slider);
    auto* percent = new QLabel(this);
    percent->setObjectName(QString::fromLatin1(name) + "Percent");
    percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    percent->setMinimumWidth(percent->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    const auto showPercent = [percent](int value) { percent->setText(QString("%1 %").arg(value)); };
    showPercent(slider->value());
    connect(slider, &QSlider::valueChanged, percent, showPercent);
    connect(slider, &QSlider::valueChanged, this, [this] { emit levelsChanged(levels()); });
    grid->addWidget(label, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(percent, row, 2);
    return slider;
}

SoundLevels VolumeWindow::levels() const {
    return {VoiceVolume->value(), ToneVolume->value()};
}

void VolumeWindow::setLevels(SoundLevels levels) {
    VoiceVolume->setValue(levels.voice);
    ToneVolume->setValue(levels.tones);
}

void VolumeWindow::open() {
    openBesideOwner(*this);
}
