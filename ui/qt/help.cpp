#include "ui/qt/help.h"

#include <QAction>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <array>

#include "ui/common/HelpForm.h"
#include "ui/common/HelpText.h"

namespace velmora {

namespace {

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

THelpForm::THelpForm(QWidget* parent)
    : QDialog(parent),
      controls_(*this, HelpFormDescription(), [this](int) { reject(); }),
      RichEdit1(controls_.As<QTextEdit>(kRichEdit1Id)),
      BitBtn1(controls_.As<QPushButton>(kBitBtn1Id)) {
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFixedSize(HelpFormDescription().width, HelpFormDescription().height);
    QFont textFont("Times New Roman");
    textFont.setPixelSize(16);
    RichEdit1->setFont(textFont);
    // Like a rich edit without the focus, the text shows no selection.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Text));
    RichEdit1->setPalette(palette);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    // Esc closes the window wherever the focus is.
    auto* close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    addAction(close);
    connect(close, &QAction::triggered, this, &QDialog::reject);

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
    StyleLine(document, kTitleLine, true);
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
