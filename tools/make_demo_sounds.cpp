// Writes the demo installation's sounds into a folder: short, distinct tones for a correct
// answer, a wrong one, a personal best, a course best, a pass and a fail. Usage:
// make-demo-sounds FOLDER
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Note
{
    double hz; // 0 is a rest
    double seconds;
};

std::vector<qint16> render(const std::vector<Note>& notes, double volume, bool square)
{
    std::vector<qint16> samples;
    for (const Note& note : notes) {
        const int count = int(note.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / kRate;
            const double envelope = std::min(1.0, std::min(t / 0.005, (note.seconds - t) / 0.02));
            double wave = 0;
            if (note.hz > 0) {
                wave = std::sin(2 * M_PI * note.hz * t);
                if (square)
                    wave = wave >= 0 ? 0.6 : -0.6;
            }
            samples.push_back(qint16(wave * envelope * volume * 32767));
        }
    }
    return samples;
}

bool writeWav(const QString& path, const std::vector<qint16>& samples)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray header(44, '\0');
    char* h = header.data();
    std::memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, h + 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20); // PCM
    qToLittleEndian<quint16>(1, h + 22); // mono
    qToLittleEndian<quint32>(kRate, h + 24);
    qToLittleEndian<quint32>(kRate * 2, h + 28);
    qToLittleEndian<quint16>(2, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    std::memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, h + 40);
    file.write(header);
    for (qint16 s : samples) {
        char le[2];
        qToLittleEndian(s, le);
        file.write(le, 2);
    }
    return file.error() == QFileDevice::NoError;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-sounds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    struct Sound
    {
        const char* name;
        std::vector<Note> notes;
        bool square;
    };
    const std::vector<Sound> sounds = {
        {"seikai1", {{1318.5, 0.08}, {1760.0, 0.12}}, false},
        {"seikai2", {{1568.0, 0.08}, {2093.0, 0.12}}, false},
        {"seikai3", {{1174.7, 0.08}, {1568.0, 0.12}}, false},
        {"machigai1", {{196.0, 0.18}, {0, 0.04}, {185.0, 0.22}}, true},
        {"machigai2", {{164.8, 0.35}}, true},
        {"jiko1", {{784.0, 0.1}, {988.0, 0.1}, {1175.0, 0.1}, {1568.0, 0.3}}, false},
        {"jiko2", {{880.0, 0.1}, {1109.0, 0.1}, {1319.0, 0.1}, {1760.0, 0.3}}, false},
        {"最高1", {{1047, 0.12}, {1047, 0.12}, {1047, 0.12}, {1397, 0.5}, {0, 0.05}, {1760, 0.6}}, false},
        {"合格", {{784, 0.15}, {1047, 0.15}, {1319, 0.15}, {1568, 0.15}, {2093, 0.7}}, false},
        {"fugoukaku1", {{659.3, 0.2}, {587.3, 0.2}, {523.3, 0.45}}, false},
        {"fugoukaku2", {{440.0, 0.2}, {415.3, 0.2}, {392.0, 0.45}}, false},
    };
    for (const Sound& sound : sounds) {
        const QString path = folder.filePath(QString::fromUtf8(sound.name) + ".wav");
        if (!writeWav(path, render(sound.notes, 0.5, sound.square))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
