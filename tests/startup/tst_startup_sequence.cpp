#include "app/startup_sequence.h"
#include "fakes.h"
#include "sound/sound_players.h"
#include "state/shared_state.h"
#include "test_world.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestStartupSequence : public QObject
{
    Q_OBJECT

    using World = TestWorld;

    static void install(const QString& top)
    {
        QDir(top).mkpath("prog");
        QDir(top).mkpath("files");
        writeCp932(top + "/prog/設定.txt", {"1,0,0,0,0,0,0,0,0,0"});
        writeCp932(top + "/files/共通データ.txt", {"4,\"12345塾\",0,0,0,0,0,0,0,0"});
        writeCp932(top + "/prog/タイム回数データ.txt", {"0,0,0,0,1,0,0,0,0,0,0,0"});
        writeCp932(top + "/files/新音ファイル.txt", {"正解音2,a,b,*"});
        writeCp932(top + "/files/生徒用名簿.txt",
                   {"1,2018,0,0,\"山田　太郎          \",0,\"                    \",\"                    \""});
    }

private slots:
    void startsOnTheMenu()
    {
        QTemporaryDir dir;
        install(dir.path());
        World w;
        QVERIFY(!startProgram(w.context, QDir::toNativeSeparators(dir.path() + "/prog")));
        QVERIFY(w.messages.shown.isEmpty());
        QVERIFY(w.forms.isLoaded("namesel"));
        QCOMPARE(w.state->catalogue.accentColour, qint32(qRgb(0, 128, 128)));
        QCOMPARE(w.state->sound.table[2][21], QStringLiteral("2"));
    }

    void brokenSoundTableStopsStartUp_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addRow("missing") << QStringList{};
        QTest::addRow("group cut off") << QStringList{"正解音2,a,b"};
    }
    void brokenSoundTableStopsStartUp()
    {
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        install(dir.path());
        if (lines.isEmpty())
            QFile::remove(dir.path() + "/files/新音ファイル.txt");
        else
            writeCp932(dir.path() + "/files/新音ファイル.txt", lines);
        World w;
        QCOMPARE(startProgram(w.context, QDir::toNativeSeparators(dir.path() + "/prog")).value_or(-1), 1);
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains("新音ファイル.txt"));
        QVERIFY(w.forms.openForms().isEmpty());
    }

    void secondCopyIsTurnedAway()
    {
        QTemporaryDir dir;
        install(dir.path());
        World w;
        w.instance.alreadyRunning = true;
        QCOMPARE(startProgram(w.context, QDir::toNativeSeparators(dir.path() + "/prog")).value_or(-1), 0);
        QCOMPARE(w.messages.shown.size(), 1);
        QCOMPARE(w.messages.shown[0].title, QStringLiteral("注意"));
        QCOMPARE(w.messages.shown[0].text,
                 QStringLiteral("このプログラムと同じプログラムがすでに起動され、完全に終了されていません。"
                                "同じプログラムを完全に終了させてから実行してください。"));
        QVERIFY(w.forms.openForms().isEmpty());
    }

    // A broken installation shows one message naming the file and opens no screen.
    void failureShowsMessageAndEnds()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("prog");
        World w;
        QCOMPARE(startProgram(w.context, QDir::toNativeSeparators(dir.path() + "/prog")).value_or(-1), 1);
        QCOMPARE(w.messages.shown.size(), 1);
        QVERIFY(w.messages.shown[0].text.contains("設定.txt"));
        QCOMPARE(w.messages.shown[0].title, QStringLiteral("起動エラー"));
        QVERIFY(w.forms.openForms().isEmpty());
    }
};

QTEST_MAIN(TestStartupSequence)
#include "tst_startup_sequence.moc"
