#include "app/Application.h"
#include "app/TFormMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);
    TFormMain window(QApplication::applicationDirPath());
    window.show();
    return app.exec();
}
