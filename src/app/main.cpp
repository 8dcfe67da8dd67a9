// Program entry: the start-up sequence grows here.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Bramblewick 2000"));
    frame.show();
    return app.exec();
}
