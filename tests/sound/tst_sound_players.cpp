#include "logic_world.h"
#include "sound/sound_players.h"
#include "state/shared_state.h"

#include <QDir>
#include <QtTest>
#include <memory>

namespace {

struct World : LogicWorld
{
    World()
    {
        state->folders.soundFolder = "/s/";
        auto& t = state->sound.table;
        t = {};
        t[2][1] = "c1";
        t[2][2] = "c2";
        t[2][3] = "c3";
        t[2][21] = "3";
        t[4][1] = "w1";
        t[4][21] = "1";
        t[8][1] = "p1";
        t[8][2] = "p2";
        t[8][21] = "2";
        t[10][1] = "f1";
        t[10][21] = "1";
    }
};

} // namespace

class TestSoundPlayers : public QObject
{
    Q_OBJECT
private slots:
    void randomChoice_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<QString>("file");
        QTest::addRow("0") << 0.0f << "/s/c1.wav";
        QTest::addRow("0.34") << 0.34f << "/s/c2.wav";
        QTest::addRow("0.99") << 0.99f << "/s/c3.wav";
    }
    void randomChoice()
    {
        QFETCH(float, r);
        QFETCH(QString, file);
        World w;
        w.random.setValues({r});
        w.sounds.playCorrectSound();
        QCOMPARE(w.audio.played, QStringList{file});
    }

    void eachPlayerPlaysItsKind()
    {
        World w;
        w.sounds.playBestSound();
        w.sounds.playPassSound();
        w.sounds.playPersonalBestSound();
        w.sounds.playFailSound();
        w.sounds.playWrongSound();
        QCOMPARE(w.audio.played, (QStringList{"/s/最高1.wav", "/s/合格.wav", "/s/p1.wav", "/s/f1.wav", "/s/w1.wav"}));
    }

    // A kind without a group names the file ".wav", which fails and is counted.
    void kindWithoutGroup()
    {
        World w;
        w.state->sound.table[4] = {};
        w.audio.results = {263};
        w.sounds.playWrongSound();
        QCOMPARE(w.audio.played, QStringList{"/s/.wav"});
        QCOMPARE(w.sounds.failuresInARow(), (1));
    }

    void threeFailuresThenSuccessReset()
    {
        World w;
        w.audio.results = {5, 5, 5, 0, 5, 5, 5};
        for (int i = 0; i < 3; ++i)
            w.sounds.playCorrectSound();
        QCOMPARE(w.sounds.failuresInARow(), (3));
        w.sounds.playWrongSound();
        QCOMPARE(w.sounds.failuresInARow(), (0));
        for (int i = 0; i < 3; ++i)
            w.sounds.playWrongSound();
        QVERIFY(w.messages.shown.isEmpty());
        QVERIFY(w.end.exitCodes.isEmpty());
    }

    void fourthFailureInARowEndsTheProgram()
    {
        World w;
        w.audio.results = {7, 7, 7, 7};
        w.sounds.playCorrectSound();
        w.sounds.playWrongSound();
        w.sounds.playCorrectSound();
        QVERIFY(w.messages.shown.isEmpty());
        w.sounds.playWrongSound();
        QCOMPARE(w.messages.shown.size(), 1);
        QCOMPARE(w.messages.shown[0].title, QStringLiteral("音声エラー"));
        QCOMPARE(w.messages.shown[0].text,
                 QStringLiteral("音声がでません。先生を呼びなさい。\r\nファイル：%1\r\nfake error 7")
                     .arg(QDir::toNativeSeparators(QStringLiteral("/s/w1.wav"))));
        QCOMPARE(w.end.exitCodes, QList<int>{1});
    }

    void uncheckedPlayersNeverCount()
    {
        World w;
        w.audio.results = {9, 9, 9, 9, 9, 9, 9, 9};
        for (int i = 0; i < 2; ++i) {
            w.sounds.playBestSound();
            w.sounds.playPassSound();
            w.sounds.playPersonalBestSound();
            w.sounds.playFailSound();
        }
        QCOMPARE(w.sounds.failuresInARow(), (0));
        QVERIFY(w.messages.shown.isEmpty());
        QVERIFY(w.end.exitCodes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayers)
#include "tst_sound_players.moc"
