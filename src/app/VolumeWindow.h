#pragma once

#include "SoundLevels.h"

#include <QWidget>

class QLabel;
class QSlider;
class QTimer;

// A small window beside the main one with a slider for the voice level and one for the tone
// level. It does not block: the watch, its buttons and hotkeys go on while it is open. A change
// of a slider is told at once, so that it is heard live.
class VolumeWindow : public QWidget {
    Q_OBJECT
public:
    explicit VolumeWindow(QWidget* owner);

    kelvos::SoundLevels levels() const;
    // Moves the sliders to the levels, which tells them as any change does (no tone sounds).
    void setLevels(kelvos::SoundLevels levels);
    // Shows the window in front, or brings it there when it is open.
    void open();

signals:
    void levelsChanged(kelvos::SoundLevels levels);
    // The tone slider came to rest: a tone lets the operator hear its level.
    void toneLevelTried();

private:
    QSlider* addSlider(const char* name, const QString& caption, int row);

    QSlider* VoiceVolume = nullptr;
    QSlider* ToneVolume = nullptr;
    QTimer* toneRest_ = nullptr;
};
