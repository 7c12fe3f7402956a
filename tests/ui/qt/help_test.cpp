#include "ui/qt/help.h"

#include <gtest/gtest.h>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <memory>
#include <set>

#include "tests/fixtures/ui_test_main.h"

namespace velmora {
namespace {

struct LineStyle {
    bool bold = false;
    bool underline = false;
    bool mixed = false;  // the line is not in one style throughout
};

LineStyle StyleOf(const QTextBlock& block) {
    LineStyle style;
    bool first = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        const bool bold = f.fontWeight() >= QFont::Bold;
        if (!first && (bold != style.bold || f.fontUnderline() != style.underline)) {
            style.mixed = true;
        }
        style.bold = bold;
        style.underline = f.fontUnderline();
        first = false;
    }
    return style;
}

// Runs one modal showing; `inside` sees the window while it is up and closes it.
void ShowOnce(const std::function<void(THelpForm&)>& inside) {
    THelpForm form;
    test::WhenModal([&](QWidget*) { inside(form); });
    form.ShowModal();
    EXPECT_FALSE(form.isVisible());
}

void ExpectFormatted(const THelpForm& form) {
    const QTextDocument& doc = *form.RichEdit1->document();
    ASSERT_EQ(doc.blockCount(), 38);
    EXPECT_EQ(doc.findBlockByNumber(0).text(), "Velmora");
    EXPECT_EQ(doc.findBlockByNumber(2).text(),
              "Velmora allows the user to synchronize the computer clock with ")
        << "trailing blanks stay";
    EXPECT_EQ(doc.findBlockByNumber(37).text(), "");
    const std::set<int> headings = {7, 13, 17, 33, 36};
    for (int line = 1; line <= 38; ++line) {
        SCOPED_TRACE(line);
        const LineStyle style = StyleOf(doc.findBlockByNumber(line - 1));
        EXPECT_FALSE(style.mixed);
        EXPECT_EQ(style.bold, line == 1 || headings.count(line) > 0);
        EXPECT_EQ(style.underline, line == 1);
    }
    EXPECT_EQ(doc.findBlockByNumber(35).text(), "Exit button");
}

TEST(HelpForm, EveryShowingIsFormattedTheSame) {
    for (int showing = 0; showing < 2; ++showing) {
        ShowOnce([](THelpForm& form) {
            ExpectFormatted(form);
            EXPECT_EQ(QApplication::focusWidget(), form.BitBtn1);
            EXPECT_EQ(form.windowTitle(), "Program help");
            QTest::keyClick(form.BitBtn1, Qt::Key_Escape);
        });
    }
}

TEST(HelpForm, EscapeInTheTextCloses) {
    ShowOnce([](THelpForm& form) {
        form.RichEdit1->setFocus();
        QTest::keyClick(form.RichEdit1, Qt::Key_Escape);
    });
}

TEST(HelpForm, CloseButtonAndItsAcceleratorClose) {
    ShowOnce([](THelpForm& form) { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); });
    ShowOnce([](THelpForm& form) { QTest::keyClick(form.BitBtn1, Qt::Key_Return); });
    ShowOnce([](THelpForm& form) {
        QTest::keyClick(&form, Qt::Key_C, Qt::AltModifier);
        // The accelerator lets the button come up before it clicks.
        if (!QTest::qWaitFor([&] { return !form.isVisible(); })) {
            ADD_FAILURE() << "Alt+C did not close the window";
            form.reject();
        }
    });
}

TEST(HelpForm, TypedTextIsGoneTheNextTime) {
    ShowOnce([](THelpForm& form) {
        form.RichEdit1->setFocus();
        form.RichEdit1->moveCursor(QTextCursor::Start);
        QTest::keyClicks(form.RichEdit1, "scribble ");
        EXPECT_TRUE(form.RichEdit1->toPlainText().startsWith("scribble Velmora"));
        form.close();
    });
    ShowOnce([](THelpForm& form) {
        EXPECT_EQ(form.RichEdit1->document()->findBlockByNumber(0).text(), "Velmora");
        form.close();
    });
}

}  // namespace
}  // namespace velmora
