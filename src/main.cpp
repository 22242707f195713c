#include "app/TFormMain.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrum"));
    // Qt 6.4 takes the tooltip delay from the platform theme; only the colour is set here.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(243, 244, 248));
    QToolTip::setPalette(tips);

    TFormMain window(QApplication::applicationDirPath());
    window.show();
    return app.exec();
}
