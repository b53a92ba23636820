#include "QtSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer()
{
    qDeleteAll(m_effects);
}

QSoundEffect* QtSoundPlayer::effectFor(const QString& path)
{
    QSoundEffect*& effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(path));
    }
    return effect;
}

void QtSoundPlayer::play(const QString& path, bool looping)
{
    QSoundEffect* effect = effectFor(path);
    if (m_playing && m_playing != effect)
        m_playing->stop();
    effect->setLoopCount(looping ? QSoundEffect::Infinite : 1);
    effect->play();
    m_playing = effect;
}

void QtSoundPlayer::stopAll()
{
    for (QSoundEffect* effect : std::as_const(m_effects))
        effect->stop();
    m_playing = nullptr;
}
