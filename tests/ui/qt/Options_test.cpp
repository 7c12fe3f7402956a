#include "ui/qt/Options.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "tests/fixtures/ui_test_main.h"

namespace velmora {
namespace {

class OptionsTest : public testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TOptionsForm>();
        form->LoadOptions(false, false, false, "one|two");
    }

    // Shows the dialog as the options command does (modeless here, so the test can drive it).
    void Show() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TypeInto(QWidget* w, const QString& keys) { QTest::keyClicks(w, keys); }

    // Periodic synchronization on with `text` in the given unit, then OK pressed with the mouse.
    void PressOkWith(const QString& text, int unit, const test::BoxCloser& closer) {
        form->SetCheckBox1Checked(true);
        form->SetComboBox1ItemIndex(unit);
        form->Edit1->setText(text);
        Show();
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        ASSERT_EQ(closer.texts.size(), 1);
    }

    std::unique_ptr<TOptionsForm> form;
};

TEST_F(OptionsTest, IntervalFieldTakesOnlyDigitsUpToThree) {
    form->SetCheckBox1Checked(true);
    Show();
    TypeInto(form->Edit1, "a1 -b2.x");
    EXPECT_EQ(form->Edit1->text(), "12");
    TypeInto(form->Edit1, "34");
    EXPECT_EQ(form->Edit1->text(), "123") << "a fourth digit is refused";
    QTest::keyClick(form->Edit1, Qt::Key_Backspace);
    EXPECT_EQ(form->Edit1->text(), "12");
    QTest::keyClick(form->Edit1, Qt::Key_Left);
    TypeInto(form->Edit1, "9");
    EXPECT_EQ(form->Edit1->text(), "192") << "cursor keys still move in the field";
}

TEST_F(OptionsTest, AStoredIntervalShowsWholeAndTheLimitHoldsForTypingOnly) {
    form->SetCheckBox1Checked(true);
    form->SetEdit1Text("1440");
    Show();
    EXPECT_EQ(form->Edit1Text(), "1440");
    form->Edit1->setFocus();
    form->Edit1->end(false);
    TypeInto(form->Edit1, "5");
    EXPECT_EQ(form->Edit1->text(), "1440") << "typing cannot make it longer";
    QTest::keyClick(form->Edit1, Qt::Key_Backspace);
    TypeInto(form->Edit1, "9");
    EXPECT_EQ(form->Edit1->text(), "144") << "once shortened, three digits is the limit";
    QGuiApplication::clipboard()->setText("12345");
    QTest::keyClick(form->Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->Edit1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->Edit1->text(), "144") << "nor can pasting";
}

TEST_F(OptionsTest, PastedTextIsCaughtByOk) {
    QGuiApplication::clipboard()->setText("4h");
    test::BoxCloser closer;
    form->SetCheckBox1Checked(true);
    Show();
    form->Edit1->setFocus();
    QTest::keyClick(form->Edit1, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(form->Edit1->text(), "4h");
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], kBadIntervalMessage);
    EXPECT_EQ(closer.titles[0], "Velmora");
    EXPECT_TRUE(form->isVisible()) << "the dialog stays open";
    EXPECT_FALSE(form->WasAccepted());
    EXPECT_EQ(form->Edit1->text(), "4h") << "edits stay intact";
}

TEST_F(OptionsTest, OkValidatesTheIntervalOnlyWhenPeriodicSyncIsOn) {
    struct Case {
        bool periodic;
        QString text;
        int unit;
        bool accepted;
    };
    const Case cases[] = {
        {false, "", 0, true},    {true, "", 0, false},      {true, "0", 0, true},
        {true, "596", 0, true},  {true, "597", 0, false},   {true, "999", 0, false},
        {true, "999", 1, true},  {true, "-5", 1, false},    {true, " 7", 1, true},
        {false, "abc", 0, true}, {true, "35792", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(("text '" + c.text + "' unit " + QString::number(c.unit)).toStdString());
        form = std::make_unique<TOptionsForm>();
        test::BoxCloser closer;
        form->SetCheckBox1Checked(c.periodic);
        form->SetComboBox1ItemIndex(c.unit);
        form->Edit1->setText(c.text);
        Show();
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        EXPECT_EQ(form->WasAccepted(), c.accepted);
        EXPECT_EQ(form->isVisible(), !c.accepted);
        EXPECT_EQ(closer.texts.size(), c.accepted ? 0 : 1);
    }
}

TEST_F(OptionsTest, RefusedOkCanBeFollowedByAnAcceptedOne) {
    test::BoxCloser closer;
    PressOkWith("", 0, closer);
    ASSERT_FALSE(form->WasAccepted());
    form->Edit1->setFocus();
    TypeInto(form->Edit1, "5");
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    EXPECT_TRUE(form->WasAccepted()) << "Enter presses the default button";
    EXPECT_FALSE(form->isVisible());
}

TEST_F(OptionsTest, AcceleratorsAndTheMinimizeRule) {
    Show();
    // An accelerator presses its button visibly and clicks when it comes up again.
    auto press = [this](Qt::Key key, QAbstractButton* box) {
        QSignalSpy clicked(box, &QAbstractButton::clicked);
        QTest::keyClick(form.get(), key, Qt::AltModifier);
        EXPECT_TRUE(clicked.wait()) << "an accelerator did not click, key " << key;
    };
    press(Qt::Key_M, form->MinimizeBox);
    EXPECT_TRUE(form->MinimizeBox->isChecked());
    EXPECT_TRUE(form->AutorunBox->isChecked()) << "minimize on start ticks autorun";
    press(Qt::Key_A, form->AutorunBox);
    EXPECT_FALSE(form->AutorunBox->isChecked()) << "autorun can be cleared on its own";
    press(Qt::Key_A, form->AutorunBox);
    press(Qt::Key_M, form->MinimizeBox);
    EXPECT_FALSE(form->MinimizeBox->isChecked());
    EXPECT_TRUE(form->AutorunBox->isChecked()) << "clearing minimize leaves autorun";
}

TEST_F(OptionsTest, EscapeAndCloseBoxLeaveItNotAccepted) {
    form->MinimizeBox->setChecked(true);
    Show();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->WasAccepted());

    form = std::make_unique<TOptionsForm>();
    Show();
    form->CancelButton->setFocus();
    QTest::keyClick(form->CancelButton, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible()) << "Enter presses the focused Cancel button";
    EXPECT_FALSE(form->WasAccepted());

    form = std::make_unique<TOptionsForm>();
    Show();
    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->WasAccepted());
}

TEST_F(OptionsTest, ModalShowingStartsOnOkAndEndsWithCancel) {
    auto parent = std::make_unique<QWidget>();
    parent->setGeometry(100, 50, 600, 500);
    parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    form = std::make_unique<TOptionsForm>(parent.get());
    form->SetCheckBox1Checked(false);
    QWidget* focused = nullptr;
    bool edit1Enabled = true;
    QPoint centre;
    test::WhenModal([&](QWidget* modal) {
        focused = QApplication::focusWidget();
        edit1Enabled = form->Edit1->isEnabled();
        centre = modal->geometry().center();
        QTest::mouseClick(form->CancelButton, Qt::LeftButton);
    });
    form->ShowModal();
    EXPECT_EQ(focused, form->OKButton);
    EXPECT_FALSE(edit1Enabled) << "the check box handler ran on showing";
    EXPECT_LE((centre - parent->geometry().center()).manhattanLength(), 4)
        << centre.x() << "," << centre.y();
    EXPECT_FALSE(form->WasAccepted());
    form.reset();  // before its parent goes
}

TEST_F(OptionsTest, CheckBox1GovernsTheIntervalControls) {
    form->SetCheckBox1Checked(false);
    Show();
    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(form->Edit1->isEnabled());
    EXPECT_TRUE(form->ComboBox1->isEnabled());
    form->SetCheckBox1Checked(false);
    EXPECT_FALSE(form->Edit1->isEnabled()) << "setting it from code runs the same handler";
    EXPECT_FALSE(form->ComboBox1->isEnabled());
}

TEST_F(OptionsTest, DisplayChoiceIsAlwaysExactlyOne) {
    form->SetRadioButton1Checked(false);
    EXPECT_TRUE(form->RadioButton2Checked());
    form->SetRadioButton2Checked(false);
    EXPECT_TRUE(form->RadioButton1Checked());
    EXPECT_FALSE(form->RadioButton2Checked());
    Show();
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
    EXPECT_TRUE(form->RadioButton2Checked()) << "clicking the checked one keeps it";
    EXPECT_FALSE(form->RadioButton1Checked());
}

TEST_F(OptionsTest, LoadAndReadBackRoundTrips) {
    // `lines` counts the memo's final line, which reads back as nothing: an empty entry at the end
    // of the list shows as an empty line before it.
    struct Case {
        bool minimize, autorun, next;
        std::string list;
        int lines;
    };
    const Case cases[] = {
        {true, false, true, "a.example||b.example", 3},
        {false, true, false, "", 1},
        {true, true, false, "only", 1},
        {false, false, true, " spaced | x |", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        form = std::make_unique<TOptionsForm>();
        form->LoadOptions(c.minimize, c.autorun, c.next, c.list);
        EXPECT_EQ(form->TimeSrvMemo->document()->blockCount(), c.lines);
        bool minimize = !c.minimize, autorun = !c.autorun, next = !c.next;
        std::string list = "unchanged";
        form->ReadOptions(minimize, autorun, next, list);
        EXPECT_EQ(minimize, c.minimize);
        EXPECT_EQ(autorun, c.autorun) << "the loaded autorun value shows, not the ticked one";
        EXPECT_EQ(next, c.next);
        EXPECT_EQ(list, c.list);
    }
}

TEST_F(OptionsTest, TypedServerLinesJoinWithBars) {
    Show();
    form->TimeSrvMemo->clear();
    form->TimeSrvMemo->setFocus();
    TypeInto(form->TimeSrvMemo, "first.example");
    QTest::keyClick(form->TimeSrvMemo, Qt::Key_Return);
    QTest::keyClick(form->TimeSrvMemo, Qt::Key_Return);
    TypeInto(form->TimeSrvMemo, "a-rather-long-host-name.that.wraps.in.the.memo.example");
    bool m, a, n;
    std::string list;
    form->ReadOptions(m, a, n, list);
    EXPECT_EQ(list, "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example");
    EXPECT_FALSE(form->WasAccepted()) << "Enter in the memo is a new line, not OK";

    // Enter after the last host leaves a final empty line, which a memo does not count.
    QTest::keyClick(form->TimeSrvMemo, Qt::Key_Return);
    form->ReadOptions(m, a, n, list);
    EXPECT_EQ(list, "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example");
    QTest::keyClick(form->TimeSrvMemo, Qt::Key_Return);
    form->ReadOptions(m, a, n, list);
    EXPECT_EQ(list, "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example|")
        << "an empty line before it stays";
}

}  // namespace
}  // namespace velmora
