#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Varolux32 version 1.72.2p");
    w.show();
    return app.exec();
}
