#pragma once

#include <QString>

#include <memory>

// Plays interface sounds. The program installs a real player at start-up
// (from a layer that may use Qt Multimedia); without one, or without an audio
// device or the file, sounds are silence, never an error.
class SoundPlayer
{
public:
    virtual ~SoundPlayer();
    // Plays the file asynchronously; a new sound replaces the one playing.
    virtual void play(const QString& path, bool looping) = 0;
    virtual void stopAll() = 0;

    static SoundPlayer* installed();
    // Replaces the installed player (null for silence).
    static void install(std::unique_ptr<SoundPlayer> player);
};

// A kept sound: a file of the resource folder "Sounds" with its looping flag,
// started as often as needed.
class Sound
{
public:
    explicit Sound(const QString& name, bool looping = false);
    void play() const;
    const QString& path() const { return m_path; }
    bool isLooping() const { return m_looping; }

private:
    QString m_path;
    bool m_looping;
};

// Plays "Sounds/<name>.wav" when "PlaySoundsPreference" is on (read at every call).
void playSound(const QString& name);
// Stops every sound, looping ones included.
void stopSounds();
