// The help and the teacher's tools are a module of their own: this test links none of them, so
// that what it loads is the only copy in the process.
#define TEST_WORLD_WITHOUT_TOOLS
#include "app/tool_module_loader.h"
#include "test_world.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestToolModule : public QObject
{
    Q_OBJECT
private slots:
    // The help and the teacher's tools live in a module beside the executable, loaded when
    // first asked for; without it the pupil is told, and the menu goes on.
    void toolModuleIsLoadedWhenFirstUsed()
    {
        ToolModuleLoader beside(QCoreApplication::applicationDirPath());
        QVERIFY2(beside.windows(), qPrintable(beside.error()));
        QTemporaryDir empty;
        ToolModuleLoader missing(empty.path());
        QVERIFY(!missing.windows());
        QVERIFY2(missing.error().contains(QDir::toNativeSeparators(empty.path())), qPrintable(missing.error()));
        ToolModuleLoader older(QCoreApplication::applicationDirPath(), QStringLiteral("0.9.0"));
        QVERIFY(!older.windows());
        QVERIFY2(older.error().contains(QStringLiteral("版 0.9.0")) &&
                     older.error().contains(QStringLiteral("（版 %1）").arg(QStringLiteral(DRILL_VERSION))),
                 qPrintable(older.error()));

        TestWorld w;
        ScreenNavigation without(w.forms, [&](QString* error) {
            *error = missing.error();
            return nullptr;
        });
        without.attach(w.context);
        without.showMenu();
        const qsizetype before = w.messages.shown.size();
        without.showHelp(QStringLiteral("qrc:/help/index.html"));
        QVERIFY(!w.forms.isLoaded("frmBrowser"));
        QCOMPARE(w.messages.shown.size(), before + 1);
        QVERIFY(w.messages.shown.last().text.contains(QDir::toNativeSeparators(empty.path())));
        QVERIFY(w.forms.isLoaded("namesel"));
    }
};

QTEST_MAIN(TestToolModule)
#include "tst_tool_module.moc"
