#include "widgets/design_look.h"

#include "widgets/design_font.h"

#include <QApplication>
#include <QPalette>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleHints>

namespace {

QPalette designPalette()
{
    const QColor face(0xef, 0xef, 0xef);
    const QColor grey(0xbe, 0xbe, 0xbe);
    QPalette palette(Qt::black, face, Qt::white, QColor(0x9f, 0x9f, 0x9f), QColor(0xb8, 0xb8, 0xb8), Qt::black,
                     Qt::white, Qt::white, face);
    palette.setColor(QPalette::Midlight, QColor(0xca, 0xca, 0xca));
    palette.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    palette.setColor(QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 0x80));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Dark})
        palette.setColor(QPalette::Disabled, role, grey);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return palette;
}

// The style the screens were drawn in, with the buttons of message boxes plain as designed:
// a desktop theme (GTK's, for one) would put an icon on their OK.
class DesignStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }

    QPalette standardPalette() const override { return designPalette(); }
};

} // namespace

void installDesignLook()
{
#ifdef Q_OS_WIN
    // Windows' own controls, as the design was drawn on them.
    const QString base = QApplication::style()->name();
#else
    const QString base = QStringLiteral("Fusion");
#endif
    QApplication::setStyle(new DesignStyle(base));
    QApplication::setPalette(designPalette());
    // Each screen is made anew with a palette of its own, by which the style keys its pictures of the controls:
    // cached, they would serve no other screen and pile up, 5 kB a screen; so few are drawn afresh as cheaply.
    QPixmapCache::setCacheLimit(0);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The title bars and frames the platform draws, light too.
    QGuiApplication::styleHints()->setColorScheme(Qt::ColorScheme::Light);
#endif
    // Metric-compatible fonts where the design's are missing.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif")});
    // Last: from Qt 6.8 on, a new style or palette fills the controls' fonts anew from the desktop's
    // theme (GTK's gives labels and buttons its own); setting the application's font clears them.
    QApplication::setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, false));
}
