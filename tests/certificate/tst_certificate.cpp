#include "app/navigation.h"
#include "certificate/certificate.h"
#include "certificate/certificate_dialog.h"
#include "certificate/certificate_page.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "roster/roster_file.h"
#include "test_world.h"
#include "text/vertical_columns.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

// Pupil 3 clears level 1 on 2026-12-03 (five attempts from the 1st, two a day), pupil 4 clears
// level 2 on 2026-11-20, last month.
struct School : TestWorld
{
    School()
    {
        writeCp932(state->folders.sharedFolder + roster::fileName(),
                   {QStringLiteral("3,2016,0,0,\"佐藤　花子\",0,\"\",\"\""),
                    QStringLiteral("4,2017,0,0,\"鈴木　一郎\",0,\"\",\"\"")});
        state->organisation.schoolName = QStringLiteral("みどり学習塾");
        state->catalogue.courseNames[1] = QStringLiteral("レベル1");
        state->catalogue.courseNames[2] = QStringLiteral("レベル2");
        QFile file(resultsPath());
        if (!file.open(QIODevice::WriteOnly))
            return;
        const auto add = [&file](int pupil, int course, const QDate& day, int k) {
            ResultRecord r;
            r.date = oadate::fromDate(day);
            r.clockTime = oadate::fromTime(QTime(15, k));
            r.pupil = qint16(pupil);
            r.course = qint16(course);
            r.time = 20;
            file.write(r.encode());
        };
        for (int k = 0; k < 6; ++k)
            add(3, 1, QDate(2026, 12, 1).addDays(k / 2), k);
        for (int k = 0; k < 5; ++k)
            add(4, 2, QDate(2026, 11, 16).addDays(k), k);
    }
};

} // namespace

class TestCertificate : public QObject
{
    Q_OBJECT
private slots:
    void eraDates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("vertical");
        QTest::addColumn<QString>("horizontal");
        QTest::addRow("the last day of 平成") << QDate(2019, 4, 30) << "平成三十一年四月三十日"
                                              << "平成31年4月30日";
        QTest::addRow("the first day of 令和") << QDate(2019, 5, 1) << "令和元年五月一日"
                                               << "令和元年5月1日";
        QTest::addRow("the last day of 昭和") << QDate(1989, 1, 7) << "昭和六十四年一月七日"
                                              << "昭和64年1月7日";
        QTest::addRow("the first day of 平成") << QDate(1989, 1, 8) << "平成元年一月八日"
                                               << "平成元年1月8日";
        QTest::addRow("令和 10") << QDate(2028, 10, 20) << "令和十年十月二十日"
                                 << "令和10年10月20日";
        QTest::addRow("today") << QDate(2026, 12, 9) << "令和八年十二月九日"
                               << "令和8年12月9日";
    }
    void eraDates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, vertical);
        QFETCH(QString, horizontal);
        QCOMPARE(certificate::dateText(date, certificate::Writing::Vertical), vertical);
        QCOMPARE(certificate::dateText(date, certificate::Writing::Horizontal), horizontal);
    }

    void kanjiNumerals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kanji");
        QTest::addRow("one") << "1"
                             << "一";
        QTest::addRow("ten") << "10"
                             << "十";
        QTest::addRow("twelve") << "12"
                                << "十二";
        QTest::addRow("twenty") << "20"
                                << "二十";
        QTest::addRow("a hundred and five") << "105"
                                            << "百五";
        QTest::addRow("a year") << "2026"
                                << "二千二十六";
        QTest::addRow("in words, full width too") << "レベル３で30日のうちに5回"
                                                  << "レベル三で三十日のうちに五回";
    }
    void kanjiNumerals()
    {
        QFETCH(QString, text);
        QFETCH(QString, kanji);
        QCOMPARE(certificate::kanjiDigits(text), kanji);
    }

    // The template's rules: no punctuation, "よって" once, "賞します" at the end, about a hundred
    // characters.
    void templateRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problems");
        const QString good = certificate::defaultTemplate();
        QTest::addRow("the default") << good << 0;
        QTest::addRow("a comma") << QString(good).replace(QStringLiteral("努力"), QStringLiteral("努力、")) << 1;
        QTest::addRow("no よって") << QString(good).remove(QStringLiteral("よって")) << 1;
        QTest::addRow("よって twice") << QString(good).replace(QStringLiteral("日々"), QStringLiteral("よって")) << 1;
        QTest::addRow("another ending") << good + QStringLiteral("した") << 1;
        QTest::addRow("too short") << QStringLiteral("よってここに賞します") << 1;
    }
    void templateRules()
    {
        QFETCH(QString, text);
        QFETCH(int, problems);
        QCOMPARE(certificate::templateProblems(text).size(), problems);
    }

    void bodyIsBrokenBeforeThus()
    {
        const QStringList body =
            certificate::body(certificate::defaultTemplate(), QStringLiteral("約数早押しドリル"),
                              QStringLiteral("レベル三"), QStringLiteral("三十日のうちに五回五十点"));
        QCOMPARE(body.size(), 2);
        QVERIFY(body[0].contains(QStringLiteral("約数早押しドリルのレベル三において三十日のうちに五回五十点")));
        QVERIFY(body[1].startsWith(QStringLiteral("よって")));
        QVERIFY(body[1].endsWith(QStringLiteral("賞します")));
    }

    // The first clearings of the period, this month by default: pupil 4's of last month is not
    // among them, and each clearing is there once.
    // Every level with the default template and names of 1, 18 and 20 characters, set in columns
    // by the rules: no column starts with what may not start one or ends with what may not end
    // one, no level name or number is split, the text is all there; a long name is set smaller
    // and stays inside the frame, in either writing; one too long for that is refused, never
    // printed broken.
    // Whether black text crosses the page's double frame (the frame itself is brown).
    static bool inkOutsideTheFrame(const certificate::Certificate& c, certificate::Writing writing)
    {
        const bool vertical = writing == certificate::Writing::Vertical;
        QImage page(vertical ? 1169 : 827, vertical ? 827 : 1169, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        certificatepage::paint(painter, QRectF(page.rect()), c, writing);
        painter.end();
        const int margin = int(std::min(page.width(), page.height()) * 0.05);
        const QRect inside = page.rect().adjusted(margin, margin, -margin, -margin);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (!inside.contains(x, y) && qGray(page.pixel(x, y)) < 60)
                    return true;
        return false;
    }

    void verticalColumnsByTheRules_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        for (int level = 1; level <= 5; ++level) {
            for (const QString& name : {QStringLiteral("森"), QStringLiteral("長谷川　") + QString(14, u'あ'),
                                        QStringLiteral("長谷川　") + QString(16, u'あ')})
                QTest::addRow("level %d, name of %d", level, int(name.size())) << level << name;
        }
    }
    void verticalColumnsByTheRules()
    {
        QFETCH(int, level);
        QFETCH(QString, name);
        School w;
        w.state->catalogue.courseTitle = QStringLiteral("約数早押しドリル");
        w.state->catalogue.courseNames[level] = QStringLiteral("レベル%1").arg(level);
        const clearing::Cleared cleared{3, level, QDate(2026, 12, 3)};
        const certificate::Certificate c = certificate::make(
            cleared, name, certificate::Honorific::San, certificate::defaultTemplate(), w.state->catalogue,
            w.state->rules, QStringLiteral("みどり学習塾"), QString(), certificate::Writing::Vertical);
        for (int p = 0; p < c.paragraphs.size(); ++p) {
            const QStringList columns = certificate::bodyColumns(c, p);
            QCOMPARE(columns.join(QString()), c.paragraphs[p]);
            for (const QString& column : columns) {
                QVERIFY2(!verticalcolumns::notAtHead(column.front()), qPrintable(column));
                QVERIFY2(!verticalcolumns::notAtFoot(column.back()), qPrintable(column));
                QVERIFY(column.size() <= certificate::kColumnChars);
            }
            for (const QString& whole : c.keepWhole) {
                if (c.paragraphs[p].contains(whole))
                    QVERIFY2(std::any_of(columns.cbegin(), columns.cend(),
                                         [&](const QString& column) { return column.contains(whole); }),
                             qPrintable(whole));
            }
        }
        for (const auto writing : {certificate::Writing::Vertical, certificate::Writing::Horizontal}) {
            const bool fits = c.name.size() <= certificate::kNameChars;
            QCOMPARE(certificate::layoutProblems(c, writing).isEmpty(), fits);
            if (fits)
                QVERIFY2(!inkOutsideTheFrame(c, writing), qPrintable(c.name));
        }
    }

    void choiceForAPeriod()
    {
        School s;
        CertificateDialog dialog(s.context, {}, nullptr);
        QVERIFY(dialog.load());
        auto* list = dialog.findChild<QListWidget*>("ListClearings");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("12月3日　小4 佐藤　花子　レベル1"));
        QVERIFY(dialog.findChild<QLabel*>("LabelFound")->text().contains(QStringLiteral("1 件")));
        const QList<clearing::Cleared> all = {
            {3, 1, QDate(2026, 12, 3)}, {4, 2, QDate(2026, 11, 20)}, {4, 1, QDate(2026, 12, 8)}};
        QCOMPARE(certificate::inPeriod(all, QDate(2026, 11, 1), QDate(2026, 12, 31)).size(), 3);
        QCOMPARE(certificate::inPeriod(all, QDate(2026, 12, 1), QDate(2026, 12, 31), {4}).size(), 1);
        QCOMPARE(certificate::inPeriod(all, QDate(2026, 11, 1), QDate(2026, 12, 31)).first().pupil, 4);
    }

    // Rendered to a PDF and read back: title, name, level, date, school; one page each.
    void renderedToPdf_data()
    {
        QTest::addColumn<int>("writing");
        QTest::addColumn<QStringList>("parts");
        QTest::addRow("horizontal") << int(certificate::Writing::Horizontal)
                                    << QStringList{"賞",      "佐藤",           "花子",        "さん",
                                                   "レベル1", "令和8年12月3日", "みどり学習塾"};
        QTest::addRow("vertical") << int(certificate::Writing::Vertical)
                                  << QStringList{"賞", "状", "佐", "花", "一", "令", "和", "八", "み", "塾"};
    }
    void renderedToPdf()
    {
        QFETCH(int, writing);
        QFETCH(QStringList, parts);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("the printed text is read back with poppler's pdftotext, which this system lacks");
        School s;
        CertificateDialog dialog(s.context, {}, nullptr);
        QVERIFY(dialog.load());
        dialog.findChild<QDateEdit*>("DateFrom")->setDate(QDate(2026, 11, 1));
        dialog.findChild<QComboBox*>("ComboWriting")->setCurrentIndex(writing);
        QCOMPARE(dialog.chosen().size(), 2);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = s.dir.filePath("certificates.pdf");
        printer.setOutputFileName(pdf);
        dialog.printCertificates(printer);
        QProcess text;
        text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        if (!qEnvironmentVariableIsEmpty("DRILL_KEEP_CERTIFICATE"))
            QFile::copy(pdf, qEnvironmentVariable("DRILL_KEEP_CERTIFICATE") + QString::number(writing) + ".pdf");
        QCOMPARE(printed.count(u'\f'), 2);
        for (const QString& part : parts)
            QVERIFY2(printed.contains(part), qPrintable(part + "\n" + printed));
    }
};

QTEST_MAIN(TestCertificate)
#include "tst_certificate.moc"
