#include "screens/topic_screen.h"

#include "core/tree/topic_table.h"
#include "widgets/controls.h"
#include "widgets/design_font.h"
#include "widgets/message_box.h"
#include "widgets/picture.h"
#include "widgets/text.h"
#include "widgets/twips.h"
#include "widgets/window_sizing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TopicScreen::TopicScreen(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillmoor"));
    setBackground(this, kCyan);

    QLabel *Label2 = addLabel(this, QStringLiteral("Label2"), QStringLiteral(" Merrowvale"), 1800, 720, 9135, 975,
                              designFont(QStringLiteral("Times New Roman"), 36, true));
    setTextColour(Label2, kRed);
    QLabel *Label3 = addLabel(
        this, QStringLiteral("Label3"),
        QStringLiteral("Select an item from the drop down list in the combination box, and then click OK"), 1920, 1920,
        8055, 975, designFont(QStringLiteral("Times New Roman"), 20.25, true));
    setTextColour(Label3, kBlue);
    Label3->setWordWrap(true);

    QPushButton *cmdOK = addButton(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), 9960, 3240, 735, 375,
                                   QStringLiteral("Click to accept selection in combination box"));
    QPushButton *cmdHelp = addButton(this, QStringLiteral("cmdHelp"), QStringLiteral("&Help"), 9960, 3840, 735, 375,
                                     QStringLiteral("Click to obtain help"));
    QPushButton *cmdAbout = addButton(this, QStringLiteral("cmdAbout"), QStringLiteral("A&bout"), 9960, 4440, 735, 375,
                                      QStringLiteral("Click to obtain information about the program"));
    QPushButton *cmdExit = addButton(this, QStringLiteral("cmdExit"), QStringLiteral("&Exit"), 9960, 5160, 735, 375,
                                     QStringLiteral("Click to close the application"));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Topic List"));
    Combo1->setGeometry(twipsRect(4080, 3360, 5295, 315));
    Combo1->setToolTip(QStringLiteral(
        "Click on the downward pointing arrow at the right of this box and select the topic of your interest "
        "from the drop-down list."));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Combo1->setMaxVisibleItems(20);
    QLineEdit *field = Combo1->lineEdit();
    // A screen reader lands in the text field, not the box around it.
    field->setAccessibleName(Combo1->accessibleName());
    // Only a choice from the list counts: the combo box would otherwise pick the entry whose
    // text was typed once editing finishes.
    disconnect(field, &QLineEdit::editingFinished, Combo1, nullptr);
    disconnect(field, &QLineEdit::returnPressed, Combo1, nullptr);
    // Typing over a chosen entry un-chooses it, so OK never starts a topic the field no longer shows.
    connect(field, &QLineEdit::textEdited, this, [this, field](const QString &text) {
        if (Combo1->currentIndex() == -1)
            return;
        const int cursor = field->cursorPosition();
        Combo1->setCurrentIndex(-1);
        field->setText(text);
        field->setCursorPosition(cursor);
    });

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(720, 3240, 2895, 3255));
    Image1->setScaledContents(true);
    Image1->setAccessibleName(QString::fromUtf16(kPictureDescription));

    // The tab order is the order of creation: the buttons from the top down, then the list.
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &TopicScreen::cmdOK_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &TopicScreen::cmdHelp_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &TopicScreen::cmdAbout_Click);
    connect(cmdExit, &QPushButton::clicked, this, &TopicScreen::cmdExit_Click);
}

void TopicScreen::Form_Load(PictureLoader &picture)
{
    sizeToDisplay(this, 0.95f);

    for (const std::string_view topic : kTopics)
        Combo1->addItem(toQString(topic));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("Topic List"));

    picture.fill(Image1);
}

void TopicScreen::cmdOK_Click()
{
    const int index = Combo1->currentIndex();
    if (index == -1) {
        showMessage(this,
                    QStringLiteral("Nothing is selected! You have to select an item from the drop-down list in the "
                                   "combination box and then click OK."),
                    MessageIcon::Exclamation);
    } else if (index == kPrimaryAmenorrheaIndex) {
        emit nodeRequested(1);
    } else {
        showMessage(this,
                    QStringLiteral("This version of Tarnwick has no decision tree for \"%1\".\n\n"
                                   "The topic it covers is \"%2\": choose it from the list and click OK.")
                        .arg(Combo1->itemText(index), QString::fromUtf8(kTopics[kPrimaryAmenorrheaIndex])),
                    MessageIcon::Information);
    }
}

void TopicScreen::cmdHelp_Click()
{
    emit helpRequested();
}

void TopicScreen::cmdAbout_Click()
{
    emit aboutRequested();
}

void TopicScreen::cmdExit_Click()
{
    emit exitRequested();
}
