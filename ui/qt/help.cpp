#include "ui/qt/help.h"

#include <QAction>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <array>

namespace velmora {

namespace {

// The help text, one entry a line; some lines end with a blank on purpose.
constexpr std::array<const char*, 38> kHelpLines = {
    "Velmora",
    "",
    "Velmora allows the user to synchronize the computer clock with ",
    "atomic clock. This allows the user to keep accurate time based on the atomic clock ",
    "time information retrieved from atomic clock server. ",
    "",
    "Get time button",
    "Get time button retrieves the current time information form an atomic clock server ",
    "and displays the time information as the Atomic clock time. The user can compare ",
    "the time difference between the current computer clock time and the atomic clock ",
    "time.",
    "",
    "Adjust time button",
    "The user can adjust the computer clock time with the atomic clock time after ",
    "clicking the Adjust time button. ",
    "",
    "Properties button",
    "Program properties can be modified after clicking the Properties button. ",
    "",
    "Minimize on start : After the start, the program minimizes itself (it is still present in ",
    "the tray).",
    "",
    "Autorun : The program starts after each reboot of the computer.",
    "",
    "Synchronize every XX hours / minutes : The program synchronizes every XX hours ",
    "or minutes the computer clock with the atomic clock.",
    "",
    "Display GMT / Local time : The user can view the time information either in the ",
    "Greenwich Mean Time (GMT) format, or in the local time format.",
    "",
    "Time servers : Contain list of servers providing the time-synchronization service.",
    "",
    "Help button",
    "Displays this help information.",
    "",
    "Exit button",
    "Closes the program.",
    "",
};

// Line numbers (from 1) of the headings set in bold; the title is line 1.
constexpr std::array<int, 5> kHeadingLines = {7, 13, 17, 33, 36};

void StyleLine(QTextDocument& document, int line, bool underline) {
    const QTextBlock block = document.findBlockByNumber(line - 1);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    format.setFontUnderline(underline);
    cursor.setCharFormat(format);
}

}  // namespace

THelpForm::THelpForm(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFixedSize(525, 453);
    QFont textFont("Times New Roman");
    textFont.setPixelSize(16);
    RichEdit1->setFont(textFont);
    // Like a rich edit without the focus, the text shows no selection.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Text));
    RichEdit1->setPalette(palette);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    addAction(Action1);
    connect(Action1, &QAction::triggered, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    QStringList text;
    for (const char* line : kHelpLines) {
        text.append(QString::fromLatin1(line));
    }
    // Plain paragraphs, one a line; the 38th is the empty last one.
    RichEdit1->setPlainText(text.mid(0, text.size() - 1).join(u'\n') + u'\n');
    BitBtn1->setFocus();
}

void THelpForm::ShowModal() {
    exec();
}

void THelpForm::FormShow() {
    QTextDocument& document = *RichEdit1->document();
    StyleLine(document, 1, true);
    for (int line : kHeadingLines) {
        StyleLine(document, line, false);
    }
    // The selection stays on the last heading, unseen while Close has the focus.
    QTextCursor cursor(document.findBlockByNumber(kHeadingLines.back() - 1));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    RichEdit1->setTextCursor(cursor);
    RichEdit1->verticalScrollBar()->setValue(0);
    BitBtn1->setFocus();
}

void THelpForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

}  // namespace velmora
