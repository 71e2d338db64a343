// The yardstick for the program's start-up and memory: a bare Qt window with a list of 2000
// rows, started and measured the same way as the program (scripts/measure-startup.py).
#include <QApplication>
#include <QListWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QListWidget list;
    list.setWindowTitle(QStringLiteral("bare window"));
    for (int row = 1; row <= 2000; ++row)
        list.addItem(QStringLiteral("生徒 %1").arg(row));
    list.resize(600, 700);
    list.show();
    return app.exec();
}
