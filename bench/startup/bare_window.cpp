// The yardstick for the game's start-up: an empty main window, shown, and
// nothing else. Its size comes from the command line (the game's window size).
//
//   bare_window [WIDTH HEIGHT]

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    int width = 732;
    int height = 538;
    if (args.size() >= 3) {
        width = qBound(100, args[1].toInt(), 4000);
        height = qBound(100, args[2].toInt(), 4000);
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(width, height);
    window.show();
    return app.exec();
}
