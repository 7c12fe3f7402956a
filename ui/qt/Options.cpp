#include "ui/qt/Options.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QStyle>
#include <QTextBlock>
#include <QValidator>
#include <vector>

#include "sync/IntervalRule.h"
#include "ui/common/OptionsFields.h"

namespace velmora {

namespace {

// Digits the user may type into the interval field.
constexpr int kIntervalDigits = 3;

// The limit of an edit control: what the user types or pastes may not make the text longer than
// it, while a longer text set by the program (with the validator off) shows whole and may only
// get shorter. Qt's maxLength would cut a stored 1440 minutes to 144.
class TypingLimit : public QValidator {
  public:
    // Owned by `edit`.
    TypingLimit(QLineEdit& edit, int limit)
        : QValidator(&edit), shown_(edit.text()), limit_(limit) {
        connect(&edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { shown_ = text; });
    }

    State validate(QString& input, int&) const override {
        const bool fits = input.size() <= limit_ || input.size() < shown_.size() || input == shown_;
        return fits ? Acceptable : Invalid;
    }

  private:
    // The text before the edit being checked.
    QString shown_;
    int limit_;
};

// Typed characters reach the interval field only as digits; control keys (Backspace, Enter, Esc)
// and edit shortcuts pass.
bool KeyRefused(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString text = key.text();
    if (text.isEmpty()) {
        return false;
    }
    return text.size() != 1 || !IntervalFieldTakes(text.front().unicode());
}

}  // namespace

TOptionsForm::TOptionsForm(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    // Only the system menu and the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(530, 141);
    OKButton->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    CancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Edit1->installEventFilter(this);
    Edit1->setValidator(new TypingLimit(*Edit1, kIntervalDigits));

    connect(OKButton, &QPushButton::clicked, this, &TOptionsForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // toggled, not clicked: a state set from code runs the handler just as a click does.
    connect(CheckBox1, &QCheckBox::toggled, this, &TOptionsForm::CheckBox1Click);
    connect(MinimizeBox, &QCheckBox::toggled, this, &TOptionsForm::MinimizeBoxClick);
    connect(RadioButton1, &QRadioButton::toggled, this, &TOptionsForm::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::toggled, this, &TOptionsForm::RadioButton2Click);
}

void TOptionsForm::LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                               const std::string& serverList) {
    MinimizeBox->setChecked(minimizeOnStart);
    AutorunBox->setChecked(autorun);
    NextOnFailBox->setChecked(tryNextServer);
    QStringList text;
    for (const std::string& line : ServerLinesOf(serverList)) {
        text.append(QString::fromStdString(line));
    }
    TimeSrvMemo->setPlainText(text.join(u'\n'));
}

void TOptionsForm::ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                               std::string& serverList) const {
    minimizeOnStart = MinimizeBox->isChecked();
    autorun = AutorunBox->isChecked();
    tryNextServer = NextOnFailBox->isChecked();
    // The memo's own lines, not its wrapped rows: a long host name stays one entry.
    std::vector<std::string> lines;
    for (QTextBlock block = TimeSrvMemo->document()->begin(); block.isValid();
         block = block.next()) {
        lines.push_back(block.text().toStdString());
    }
    serverList = ServerListOf(std::move(lines));
}

void TOptionsForm::ShowModal() {
    exec();
}

bool TOptionsForm::CheckBox1Checked() const {
    return CheckBox1->isChecked();
}
void TOptionsForm::SetCheckBox1Checked(bool checked) {
    CheckBox1->setChecked(checked);
}
int TOptionsForm::ComboBox1ItemIndex() const {
    return ComboBox1->currentIndex();
}
void TOptionsForm::SetComboBox1ItemIndex(int index) {
    ComboBox1->setCurrentIndex(index);
}
std::string TOptionsForm::Edit1Text() const {
    return Edit1->text().toStdString();
}
void TOptionsForm::SetEdit1Text(const std::string& text) {
    // The limit is the user's; the program's own value shows whole.
    const QValidator* limit = Edit1->validator();
    Edit1->setValidator(nullptr);
    Edit1->setText(QString::fromStdString(text));
    Edit1->setValidator(limit);
}
bool TOptionsForm::RadioButton1Checked() const {
    return RadioButton1->isChecked();
}
bool TOptionsForm::RadioButton2Checked() const {
    return RadioButton2->isChecked();
}
bool TOptionsForm::AutorunBoxChecked() const {
    return AutorunBox->isChecked();
}

// The pair is exclusive: clearing one checks the other.
void TOptionsForm::SetRadioButton1Checked(bool checked) {
    (checked ? RadioButton1 : RadioButton2)->setChecked(true);
}
void TOptionsForm::SetRadioButton2Checked(bool checked) {
    (checked ? RadioButton2 : RadioButton1)->setChecked(true);
}

void TOptionsForm::RadioButton1Click() {
    if (RadioButton1->isChecked() == RadioButton2->isChecked()) {
        RadioButton2->setChecked(!RadioButton1->isChecked());
    }
}

void TOptionsForm::RadioButton2Click() {
    if (RadioButton1->isChecked() == RadioButton2->isChecked()) {
        RadioButton1->setChecked(!RadioButton2->isChecked());
    }
}

void TOptionsForm::CheckBox1Click() {
    Edit1->setEnabled(CheckBox1->isChecked());
    ComboBox1->setEnabled(CheckBox1->isChecked());
}

void TOptionsForm::MinimizeBoxClick() {
    if (MinimizeBox->isChecked()) {
        AutorunBox->setChecked(true);
    }
}

bool TOptionsForm::IntervalValid() const {
    const bool hours = ComboBox1->currentIndex() == 0;
    return IntervalMilliseconds(Edit1->text().toStdString(), hours).has_value();
}

void TOptionsForm::OKButtonClick() {
    if (CheckBox1->isChecked() && !IntervalValid()) {
        QMessageBox box(QMessageBox::NoIcon, kTitle, kBadIntervalMessage, QMessageBox::Ok, this);
        box.setObjectName("IntervalMessage");
        box.exec();
        return;
    }
    Accepted = true;
    accept();
}

void TOptionsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CheckBox1Click();
    OKButton->setFocus();
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::KeyPress &&
        KeyRefused(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmora
