// Program start: the application object, hint timing, title, then the main window.
#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

#include "app/form1.h"

namespace {
// Hints appear 100 ms after the pointer comes to rest.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 100;
        if (hint == QStyle::SH_ToolTip_FallAsleepDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new HintTimingStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setApplicationName(QStringLiteral("Clavelle"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kWindowTitle));
    TForm1 form;
    form.show();
    return app.exec();
}
