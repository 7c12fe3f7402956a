#include "ui/qt/DigitsEdit.h"

#include <QKeyEvent>
#include <QValidator>

#include "ui/common/OptionsFields.h"

namespace velmora {

namespace {

// What the user types or pastes may not make the text longer than the limit, while a longer
// text set by the program (with the validator off) shows whole and may only get shorter. Qt's
// maxLength would cut a stored 1440 minutes to 144.
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

// Typed characters reach the field only as digits; control keys (Backspace, Enter, Esc) and edit
// shortcuts pass.
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

DigitsEdit::DigitsEdit(int limit, QWidget* parent) : QLineEdit(parent) {
    setValidator(new TypingLimit(*this, limit));
}

void DigitsEdit::SetProgramText(const QString& text) {
    const QValidator* limit = validator();
    setValidator(nullptr);
    setText(text);
    setValidator(limit);
}

void DigitsEdit::keyPressEvent(QKeyEvent* event) {
    if (KeyRefused(*event)) {
        // Taken, and dropped.
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace velmora
