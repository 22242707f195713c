#include "Application.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QProxyStyle>
#include <QToolTip>

namespace {

constexpr int kToolTipDelayMilliseconds = 200;

// The platform's style, with tooltips that appear sooner (Qt 6.4 takes the delay from the style).
class KestrumStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return kToolTipDelayMilliseconds;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

void prepareApplication(QApplication& app) {
    // Lower case, as the data folder of an installed program is named: ~/.local/share/kestrum.
    QApplication::setApplicationName(QStringLiteral("kestrum"));
    // The installed desktop entry's name, by which Wayland and the docks match windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrum.Kestrum"));
    // The gui is a static library: its pictures must be registered before the icon is read.
    Q_INIT_RESOURCE(kestrum);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/AppIcon")));
    app.setStyle(new KestrumStyle);  // the application takes ownership
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(243, 244, 248));
    QToolTip::setPalette(tips);
}
