#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrum"));
    window.setMinimumSize(768, 555);
    window.show();
    return app.exec();
}
