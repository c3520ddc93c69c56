#include "platform/sound/SoundEffectPlugin.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>

#include <cmath>
#include <memory>

namespace {

// A short two-tone beep as a 16-bit mono wave file, standing in for the system's default
// sound, which Linux desktops do not offer to programs.
QByteArray beepWave()
{
    constexpr int rate = 22050;
    constexpr int samples = rate * 18 / 100;
    constexpr quint32 dataBytes = samples * 2;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < samples; ++i) {
        const double freq = i < samples / 2 ? 880.0 : 660.0;
        const double fade = std::min(1.0, std::min(i, samples - i) / (rate * 0.01)); // no clicks at the ends
        out << qint16(std::sin(2 * M_PI * freq * i / rate) * 9000 * fade);
    }
    return wav;
}

class Player final : public QObject, public SoundPlayer
{
public:
    explicit Player(QObject* parent) : QObject(parent)
    {
        connect(&m_effect, &QSoundEffect::statusChanged, this, [this] {
            if (m_effect.status() == QSoundEffect::Error && m_effect.source() != beepUrl())
                playUrl(beepUrl());
        });
    }

    void play(const QString& path) override
    {
        const QFileInfo file(path);
        playUrl(file.isFile() && file.isReadable() ? QUrl::fromLocalFile(file.absoluteFilePath()) : beepUrl());
    }

    QString source() const override { return m_effect.source().toLocalFile(); }

private:
    void playUrl(const QUrl& url)
    {
        m_effect.stop();
        m_effect.setSource(url); // a loading effect plays as soon as it is loaded
        m_effect.play();
    }

    QUrl beepUrl()
    {
        if (!m_beep) {
            m_beep = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/vornx-beep-XXXXXX.wav"));
            if (m_beep->open()) {
                m_beep->write(beepWave());
                m_beep->flush();
            }
        }
        return QUrl::fromLocalFile(m_beep->fileName());
    }

    QSoundEffect m_effect;
    std::unique_ptr<QTemporaryFile> m_beep;
};

} // namespace

SoundPlayer* SoundEffectPlugin::createPlayer(QObject* parent)
{
    return new Player(parent);
}
