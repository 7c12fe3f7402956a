// The Qt options dialog as the user handles it: the interval field's keys and limit, Enter, the
// accelerators, Esc and the close box, the modal showing, the memo's lines. The rules themselves
// are the presenter's, tested over a fake front end.

#include "ui/qt/Options.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "tests/fixtures/ShownOptions.h"
#include "tests/fixtures/ui_test_main.h"
#include "ui/common/FormTexts.h"

namespace velmora {
namespace {

using test::ShownOptions;

class OptionsTest : public testing::Test {
  protected:
    void SetUp() override { Make(); }

    void Make(const OptionsValues& values = ShownOptions(true, "", "one|two")) {
        form = std::make_unique<TOptionsForm>();
        form->Presenter().Load(values);
    }

    // Shows the dialog modeless, so that the test can drive it.
    void Show() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <class W>
    W* Control(const char* name) const {
        return form->findChild<W*>(name);
    }
    QLineEdit* Edit1() const { return Control<QLineEdit>("Edit1"); }

    std::unique_ptr<TOptionsForm> form;
};

TEST_F(OptionsTest, TheIntervalFieldTakesThreeTypedDigitsButShowsAStoredValueWhole) {
    Show();
    QTest::keyClicks(Edit1(), "a1 -b2.x34");
    EXPECT_EQ(Edit1()->text(), "123") << "a fourth digit is refused";
    QTest::keyClick(Edit1(), Qt::Key_Left);
    QTest::keyClick(Edit1(), Qt::Key_Backspace);
    EXPECT_EQ(Edit1()->text(), "13") << "cursor keys and Backspace still work";

    Make(ShownOptions(true, "1440"));
    Show();
    EXPECT_EQ(Edit1()->text(), "1440");
    Edit1()->setFocus();
    Edit1()->end(false);
    QTest::keyClicks(Edit1(), "5");
    EXPECT_EQ(Edit1()->text(), "1440") << "typing cannot make it longer";
    QTest::keyClick(Edit1(), Qt::Key_Backspace);
    QTest::keyClicks(Edit1(), "9");
    EXPECT_EQ(Edit1()->text(), "144") << "once shortened, three digits is the limit";
    QGuiApplication::clipboard()->setText("12345");
    QTest::keyClick(Edit1(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Edit1(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit1()->text(), "144") << "nor can pasting";
}

TEST_F(OptionsTest, PastedTextIsCaughtByOkAndEnterPressesOkAgain) {
    QGuiApplication::clipboard()->setText("4h");
    Make(ShownOptions(true, ""));
    test::BoxCloser closer;
    Show();
    Edit1()->setFocus();
    QTest::keyClick(Edit1(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(Edit1(), Qt::Key_Return);
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], kBadIntervalMessage);
    EXPECT_EQ(closer.titles[0], "Velmora");
    EXPECT_TRUE(form->isVisible()) << "the dialog stays open";
    EXPECT_EQ(Edit1()->text(), "4h") << "edits stay intact";
    QTest::keyClick(Edit1(), Qt::Key_Backspace);
    QTest::keyClick(Edit1(), Qt::Key_Return);
    EXPECT_TRUE(form->Presenter().Accepted()) << "Enter presses the default button";
    EXPECT_FALSE(form->isVisible());
}

TEST_F(OptionsTest, AcceleratorsClickTheirBoxes) {
    Show();
    // An accelerator presses its button visibly and clicks when it comes up again.
    auto press = [this](Qt::Key key, QAbstractButton* box) {
        QSignalSpy clicked(box, &QAbstractButton::clicked);
        QTest::keyClick(form.get(), key, Qt::AltModifier);
        EXPECT_TRUE(clicked.wait()) << "an accelerator did not click, key " << key;
    };
    auto* minimize = Control<QCheckBox>("MinimizeBox");
    auto* autorun = Control<QCheckBox>("AutorunBox");
    press(Qt::Key_M, minimize);
    EXPECT_TRUE(minimize->isChecked());
    EXPECT_TRUE(autorun->isChecked()) << "with the minimize rule";
    press(Qt::Key_A, autorun);
    EXPECT_FALSE(autorun->isChecked());
}

TEST_F(OptionsTest, EscapeCancelAndCloseBoxLeaveItNotAccepted) {
    const std::function<void(TOptionsForm&)> ways[] = {
        [](TOptionsForm& f) { QTest::keyClick(&f, Qt::Key_Escape); },
        [](TOptionsForm& f) {
            auto* cancel = f.findChild<QPushButton*>("CancelButton");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);
        },
        [](TOptionsForm& f) {
            QTest::mouseClick(f.findChild<QCheckBox*>("CheckBox1"), Qt::LeftButton);
            f.close();
        },
    };
    for (const auto& leave : ways) {
        Make();
        Show();
        leave(*form);
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(form->Presenter().Accepted());
    }
}

TEST_F(OptionsTest, ShownModallyOverItsParentWithTheFocusOnOk) {
    auto parent = std::make_unique<QWidget>();
    parent->setGeometry(100, 50, 600, 500);
    parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    form = std::make_unique<TOptionsForm>(parent.get());
    QWidget* focused = nullptr;
    bool edit1Enabled = true;
    QPoint centre;
    test::WhenModal([&](QWidget* modal) {
        focused = QApplication::focusWidget();
        edit1Enabled = Edit1()->isEnabled();
        centre = modal->geometry().center();
        QTest::mouseClick(Control<QAbstractButton>("RadioButton2"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>("OKButton"), Qt::LeftButton);
    });
    const std::optional<OptionsValues> confirmed = form->Edit(ShownOptions(false, "0"));
    EXPECT_EQ(focused, Control<QPushButton>("OKButton"));
    EXPECT_FALSE(edit1Enabled);
    EXPECT_LE((centre - parent->geometry().center()).manhattanLength(), 4)
        << centre.x() << "," << centre.y();
    ASSERT_TRUE(confirmed);
    EXPECT_TRUE(confirmed->DisplayLocalTime) << "a click on a radio button reaches the rules";
    form.reset();  // before its parent goes
}

TEST_F(OptionsTest, TypedServerLinesAreTheMemosLinesNotItsRows) {
    Show();
    auto* memo = Control<QPlainTextEdit>("TimeSrvMemo");
    memo->clear();
    memo->setFocus();
    QTest::keyClicks(memo, "first.example");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "a-rather-long-host-name.that.wraps.in.the.memo.example");
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(form->Presenter().Read().ServerList,
              "first.example||a-rather-long-host-name.that.wraps.in.the.memo.example");
    EXPECT_FALSE(form->Presenter().Accepted()) << "Enter in the memo is a new line, not OK";
}

}  // namespace
}  // namespace velmora
