#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/ui_helpers.h"

#include <QFontDatabase>
#include <QtTest>
#include <algorithm>

namespace {

QStringList journal;

class JournalForm : public Form
{
public:
    explicit JournalForm(const QString& name) : Form(name) {}
    ~JournalForm() override { journal << "unload " + objectName(); }

protected:
    void formLoad() override { journal << "load " + objectName(); }
    void formActivate() override { journal << "activate " + objectName(); }
};

} // namespace

class TestFormRegistry : public QObject
{
    Q_OBJECT
private slots:
    void init() { journal.clear(); }

    void loadRunsOnceActivateEveryShow()
    {
        FormRegistry forms;
        auto* a = new JournalForm("a");
        forms.show(a);
        forms.show(a);
        QCOMPARE(journal, (QStringList{"load a", "activate a", "activate a"}));
        QVERIFY(forms.isLoaded("a"));
        QCOMPARE(forms.find("a"), a);
    }

    // Every screen is one a pupil reads: shown, it and its controls take the school face at the
    // sizes they were given; a teacher's window, never shown as a screen, keeps the program's font.
    void screensTakeTheSchoolFace()
    {
        FormRegistry forms;
        auto* screen = new JournalForm("screen");
        QLabel* big = uih::label(screen, "big", "ふくしゅう", QRect(0, 0, 200, 40), 26, true);
        auto* plain = new QLabel("れんしゅう", screen);
        QWidget teachers;
        QLabel* kept = uih::label(&teachers, "kept", "名簿", QRect(0, 0, 200, 40), 14);
        // A caption that just fits its box in the program's font still fits it in the school face.
        const QString rule = QStringLiteral("目標=100秒 5回/60点(×1.5)");
        const int room = int(std::ceil(QFontMetricsF(uih::font(10)).horizontalAdvance(rule))) + 1;
        QLabel* tight = uih::label(screen, "tight", rule, QRect(0, 50, room, 40), 10);
        tight->setWordWrap(true);
        uih::keepOnOneLine(tight);
        forms.show(screen);
        QVERIFY(QFontMetricsF(tight->font()).horizontalAdvance(rule) <= room);
        if (uih::schoolFaceFamily().isEmpty()) // the whole road looks at the faces under Wine
            QSKIP("this platform lists no Japanese face (Qt's offscreen platform on Windows lists none)");
        const QStringList installed = QFontDatabase::families();
        if (installed.contains("BIZ UDPGothic") &&
            std::none_of(installed.begin(), installed.end(), [](const QString& f) { return f.contains("Kyokasho"); }))
            QCOMPARE(uih::schoolFaceFamily(), QStringLiteral("BIZ UDPGothic"));
        for (QLabel* label : {big, plain})
            QCOMPARE(label->font().family(), uih::schoolFaceFamily());
        QCOMPARE(big->font().pointSize(), 26);
        QVERIFY(big->font().bold());
        QCOMPARE(kept->font().family(), uih::uiFontFamily());
    }

    void unloadAllClosesNewestFirst()
    {
        FormRegistry forms;
        forms.show(new JournalForm("first"));
        forms.show(new JournalForm("second"));
        forms.show(new JournalForm("third"));
        journal.clear();
        forms.unloadAll();
        QVERIFY(forms.openForms().isEmpty());
        QTRY_COMPARE(journal, (QStringList{"unload third", "unload second", "unload first"}));
    }

    // A form may unload itself inside its own handler: it goes at once from the registry and
    // from the screen, and is deleted once control is back in the event loop.
    void unloadIsDeferred()
    {
        FormRegistry forms;
        auto* a = new JournalForm("a");
        forms.show(a);
        QPointer<Form> watch(a);
        forms.unload("a");
        QVERIFY(!forms.isLoaded("a"));
        QVERIFY(watch);
        QVERIFY(!watch->isVisible());
        QTRY_VERIFY(!watch);
    }

    // The program ends once no screen is left, but not in the middle of a handover, where a
    // screen unloads itself just before it shows the next one.
    void emptyRegistryEndsTheProgram()
    {
        FormRegistry forms;
        int ended = 0;
        forms.setWhenEmpty([&] { ++ended; });
        forms.show(new JournalForm("a"));
        forms.unload("a");
        forms.show(new JournalForm("b"));
        QCoreApplication::processEvents();
        QCOMPARE(ended, 0);
        forms.find("b")->close();
        QTRY_COMPARE(ended, 1);
        QCoreApplication::processEvents();
        QCOMPARE(ended, 1);
    }

    void closingTheWindowUnloads()
    {
        FormRegistry forms;
        auto* a = new JournalForm("a");
        forms.show(a);
        a->close();
        QVERIFY(!forms.isLoaded("a"));
    }
};

QTEST_MAIN(TestFormRegistry)
#include "tst_form_registry.moc"
