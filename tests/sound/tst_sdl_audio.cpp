#include "fakes.h"
#include "sound/sdl_audio_output.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// A wave in the device's own format (44100 Hz, 16-bit, stereo), so the samples reach the
// disk driver's file unchanged.
QByteArray samplesOf(int frames, int seed)
{
    QByteArray data(frames * 4, '\0');
    for (int i = 0; i < frames * 2; ++i)
        qToLittleEndian<qint16>(qint16((i * 37 + seed * 1001) % 30000 - 15000), data.data() + 2 * i);
    return data;
}

void writeWave(const QString& path, const QByteArray& data)
{
    QByteArray h(44, '\0');
    std::memcpy(h.data(), "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + data.size()), h.data() + 4);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h.data() + 16);
    qToLittleEndian<quint16>(1, h.data() + 20);
    qToLittleEndian<quint16>(2, h.data() + 22);
    qToLittleEndian<quint32>(44100, h.data() + 24);
    qToLittleEndian<quint32>(44100 * 4, h.data() + 28);
    qToLittleEndian<quint16>(4, h.data() + 32);
    qToLittleEndian<quint16>(16, h.data() + 34);
    std::memcpy(h.data() + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(data.size()), h.data() + 40);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(h + data);
}

} // namespace

class TestSdlAudio : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        qputenv("SDL_AUDIODRIVER", "disk");
#ifndef Q_OS_WIN
        // (On Windows SDL hands out every variable in one shared buffer: the delay read after
        // the file name would take its place. The device then keeps its own pace.)
        qputenv("SDL_DISKAUDIODELAY", "0");
#endif
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath(QTest::currentTestFunction())));
    }

    // What reaches the device is the chosen file's samples, one sound after the other.
    void playsTheFileItself()
    {
        const QByteArray first = samplesOf(8000, 1);
        const QByteArray second = samplesOf(6000, 2);
        writeWave(m_dir.filePath("one.wav"), first);
        writeWave(m_dir.filePath("二.wav"), second);
        {
            SdlAudioOutput audio;
            QCOMPARE(audio.playWav(m_dir.filePath("one.wav")), 0);
            QCOMPARE(audio.playWav(m_dir.filePath("二.wav")), 0);
        }
        const QByteArray out = readAll(m_dir.filePath("playsTheFileItself"));
        const qsizetype at = out.indexOf(first);
        QVERIFY2(at >= 0, "the first sound's samples were not written");
        const qsizetype secondAt = out.indexOf(second, at + first.size());
        QVERIFY2(secondAt > at, "the second sound's samples were not written after the first");
        // How much silence the device writes between two sounds depends on how busy the machine
        // is; what lies between them is silence and nothing else.
        const QByteArray between = out.mid(at + first.size(), secondAt - at - first.size());
        QCOMPARE(between.count('\0'), between.size());
    }

    void errors_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("textPart");
        QTest::addRow("missing file") << "disk"
                                      << "nothing.wav" << int(SdlAudioOutput::LoadFailed) << "nothing.wav";
        QTest::addRow("not a wave") << "disk"
                                    << "text.wav" << int(SdlAudioOutput::LoadFailed) << "";
        QTest::addRow("no such driver") << "nosuchdriver"
                                        << "one.wav" << int(SdlAudioOutput::InitFailed) << "nosuchdriver";
    }
    void errors()
    {
        QFETCH(QString, driver);
        QFETCH(QString, file);
        QFETCH(int, code);
        QFETCH(QString, textPart);
        qputenv("SDL_AUDIODRIVER", driver.toUtf8());
        QFile text(m_dir.filePath("text.wav"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("this is not a wave file at all");
        text.close();
        writeWave(m_dir.filePath("one.wav"), samplesOf(100, 3));
        SdlAudioOutput audio;
        QCOMPARE(audio.playWav(m_dir.filePath(file)), code);
        QVERIFY(!audio.errorText(code).isEmpty());
        QVERIFY2(audio.errorText(code).contains(textPart), qPrintable(audio.errorText(code)));
    }
};

QTEST_GUILESS_MAIN(TestSdlAudio)
#include "tst_sdl_audio.moc"
