#include "screens/about_screen.h"

#include "core/sysinfo/sys_info.h"
#include "widgets/controls.h"
#include "widgets/design_font.h"
#include "widgets/message_box.h"
#include "widgets/text.h"
#include "widgets/twips.h"
#include "widgets/window_manager.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

const QString kDescription = QStringLiteral(
    "This program is used to obtain a diagnosis based on the patient's history, examination findings, and "
    "invesigation findings supplied to the computer, and then to make a decision about the management options "
    "available in that situation.");

const QString kDisclaimer = QStringLiteral(
    "Warning: this program supports, and does not replace, a doctor's clinical judgement. It is "
    "protected by copyright law: copying or distributing it, in whole or in part, without "
    "permission is not allowed.");

AboutScreen::AboutScreen(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("About MyApp"));
    // Its stored place, not centred: the client area's corner at 2340, 1935 twips.
    setGeometry(twipsRect(2340, 1935, 5730, 4350));
    setFixedSize(size());
    keepOutOfTaskBar(this);

    QPushButton *cmdOK = addButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), 4245, 2625, 1260, 345);
    cmdOK->setDefault(true);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setAccessibleName(QStringLiteral("Program icon"));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icons/eye-32.png")));
    picIcon->move(twipsRect(240, 240, 0, 0).topLeft());
    picIcon->adjustSize();
    picIcon->setFocusPolicy(Qt::TabFocus);

    QPushButton *cmdSysInfo = addButton(this, QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."), 4260,
                                        3075, 1245, 345);

    const QFont plain = font();
    setTextColour(this, Qt::black);
    addLabel(this, QStringLiteral("lblDescription"), kDescription, 240, 1125, 4725, 1170, plain)->setWordWrap(true);
    addLabel(this, QStringLiteral("lblDisclaimer"), kDisclaimer, 255, 2625, 3870, 1170, plain)->setWordWrap(true);
    addLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Quillmoor"), 1050, 240, 4485, 480,
             designFont(QStringLiteral("MS Sans Serif"), 9.75, true));
    addLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version 1.0"), 1050, 780, 3885, 225, plain);

    // The tab order is the order of creation: OK, the icon, System Info.
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &AboutScreen::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutScreen::cmdSysInfo_Click);
}

void AboutScreen::cmdOK_Click()
{
    done(QDialog::Accepted);
}

void AboutScreen::cmdSysInfo_Click()
{
    sysinfo::StartSysInfo([this](std::string_view text) {
        showMessage(this, toQString(text), MessageIcon::None);
    });
}

void AboutScreen::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Line1(1) and Line1(0): an etched separator, one grey pixel row with two white ones under it.
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(px(90), px(2445)), QPoint(px(5654), px(2445))), QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(px(105), px(2460)), QPoint(px(5654), px(2460) + 1)), Qt::white);
}
