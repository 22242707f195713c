#include "app/Application.h"
#include "app/ProgramFolders.h"
#include "app/TFormMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);
    TFormMain window(locateProgramFolders(QApplication::applicationDirPath()));
    window.show();
    return app.exec();
}
