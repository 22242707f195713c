#include "Application.h"

#include <QApplication>
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
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    app.setStyle(new KestrumStyle);  // the application takes ownership
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(243, 244, 248));
    QToolTip::setPalette(tips);
}
