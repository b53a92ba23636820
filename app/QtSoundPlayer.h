#pragma once

#include "SoundPlayer.h"

#include <QHash>
#include <QString>

#include <memory>

class QSoundEffect;

// Interface sounds through Qt Multimedia. One effect per file is kept, so a
// sound played again starts at once; a new sound stops the one playing.
// Without an audio device the effects simply stay silent.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void play(const QString& path, bool looping) override;
    void stopAll() override;

private:
    QSoundEffect* effectFor(const QString& path);

    QHash<QString, QSoundEffect*> m_effects;
    QSoundEffect* m_playing = nullptr;
};
