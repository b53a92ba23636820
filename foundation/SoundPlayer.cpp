#include "SoundPlayer.h"

#include "Preferences.h"
#include "Resources.h"

#include <QFileInfo>

namespace {
std::unique_ptr<SoundPlayer>& player()
{
    static std::unique_ptr<SoundPlayer> instance;
    return instance;
}

void playFile(const QString& path, bool looping)
{
    if (!prefBool(QStringLiteral("PlaySoundsPreference")))
        return;
    SoundPlayer* installed = SoundPlayer::installed();
    if (installed && QFileInfo(path).isFile())
        installed->play(path, looping);
}
} // namespace

SoundPlayer::~SoundPlayer() = default;

SoundPlayer* SoundPlayer::installed()
{
    return player().get();
}

void SoundPlayer::install(std::unique_ptr<SoundPlayer> newPlayer)
{
    player() = std::move(newPlayer);
}

Sound::Sound(const QString& name, bool looping)
    : m_path(resourcePath(name + QStringLiteral(".wav"), QStringLiteral("Sounds"))), m_looping(looping)
{
}

void Sound::play() const
{
    playFile(m_path, m_looping);
}

void playSound(const QString& name)
{
    Sound(name).play();
}

void stopSounds()
{
    if (SoundPlayer* installed = SoundPlayer::installed())
        installed->stopAll();
}
