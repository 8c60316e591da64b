// What text alone costs: the bare window with one line of text in it, titled
// as the game so that bench_startup can measure it in the game's place:
//
//   bench_startup --velmora <build dir>/bench/startup/label_window

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velmora"));
    window.setCentralWidget(new QLabel(QStringLiteral("Players chat here")));
    window.resize(732, 538);
    window.show();
    return app.exec();
}
