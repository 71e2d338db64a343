#include "sound/sound_table.h"
#include "text/value_reader.h"

#include <QtTest>
#include <memory>

namespace {

// Row k of the table as "name|file1|file2|...|count", with the empty columns left out.
QString row(const SoundState& sound, int kind)
{
    const auto& r = sound.table[std::size_t(kind)];
    QStringList files;
    for (int d = 1; d <= 20; ++d) {
        if (!r[std::size_t(d)].isEmpty())
            files << QString("%1=%2").arg(d).arg(r[std::size_t(d)]);
    }
    return files.join(' ') + " #" + r[21];
}

} // namespace

class TestSoundTable : public QObject
{
    Q_OBJECT
private slots:
    void groups_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::addRow("one line") << "正解音2,a,b,c,*\r\n" << 2 << "1=a 2=b 3=c #3";
        QTest::addRow("quoted and across lines") << "\"間違い音2\"\r\n\"x\"\r\n\"*\"\r\n" << 4 << "1=x #1";
        QTest::addRow("later group overwrites position by position") << "正解音2,a,b,c,*\r\n正解音2,d,*\r\n"
                                                                     << 2 << "1=d 2=b 3=c #1";
        QTest::addRow("unknown values skipped") << "雑音,p,q,*\r\n不合格音1,f,*\r\n" << 10 << "1=f #1";
        QTest::addRow("kind without a group") << "正解音2,a,*\r\n" << 8 << " #";
        QTest::addRow("empty group") << "自己最高音2,*\r\n" << 8 << " #0";
        QStringList twenty;
        QString expected;
        for (int d = 1; d <= 20; ++d) {
            twenty << QString("f%1").arg(d);
            expected += QString("%1=f%1 ").arg(d);
        }
        // Twenty names fill the group: its "*" is then read as a kind name and skipped.
        QTest::addRow("twenty names leave the count empty") << "正解音1," + twenty.join(',') + ",*,正解音2,z,*\r\n"
                                                            << 1 << expected.trimmed() + " #";
        QTest::addRow("after twenty names the next group still reads")
            << "正解音1," + twenty.join(',') + ",*,正解音2,z,*\r\n"
            << 2 << "1=z #1";
        QTest::addRow("nineteen names") << "正解音1," + twenty.mid(0, 19).join(',') + ",*\r\n"
                                        << 1 << expected.section(' ', 0, 18) + " #19";
        QTest::addRow("kind names are exact") << "正解音２,a,*\r\n" << 2 << " #";
    }
    void groups()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        auto sound = std::make_unique<SoundState>();
        ValueReader reader(text);
        QVERIFY(!soundtable::read(reader, *sound));
        QCOMPARE(row(*sound, kind), expected);
        QCOMPARE(sound->table[std::size_t(kind)][0], soundtable::kindName(kind));
    }

    void cutOffGroupIsAnError()
    {
        auto sound = std::make_unique<SoundState>();
        ValueReader reader("正解音2,a,*\r\n間違い音2,b,c\r\n");
        const auto problem = soundtable::read(reader, *sound);
        QVERIFY(problem.has_value());
        QVERIFY(problem->contains("間違い音2"));
    }
};

QTEST_APPLESS_MAIN(TestSoundTable)
#include "tst_sound_table.moc"
