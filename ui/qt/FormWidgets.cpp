#include "ui/qt/FormWidgets.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>

#include "ui/qt/DigitsEdit.h"

namespace velmora {

namespace {

using Kind = ControlKind;

QString Caption(const ControlDescription& control) {
    return QString::fromUtf8(control.caption);
}

QFrame* Line(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QFrame* Panel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    return panel;
}

QLabel* Label(const ControlDescription& control, QWidget* parent) {
    auto* label = new QLabel(Caption(control), parent);
    label->setTextFormat(Qt::PlainText);
    if (control.kind == Kind::ClockField) {
        label->setAutoFillBackground(true);
        label->setFrameShape(QFrame::WinPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
    }
    return label;
}

QPushButton* Button(const ControlDescription& control, QWidget* parent) {
    auto* button = new QPushButton(Caption(control), parent);
    button->setDefault(control.kind == Kind::DefaultButton);
    return button;
}

QPlainTextEdit* Memo(QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    return memo;
}

QTextEdit* RichText(QWidget* parent) {
    auto* text = new QTextEdit(parent);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setAcceptRichText(false);
    text->setTabChangesFocus(true);
    return text;
}

QComboBox* List(const ControlDescription& control, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (const char* item : control.items) {
        list->addItem(QString::fromUtf8(item));
    }
    return list;
}

QStatusBar* StatusBar(QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    return bar;
}

QToolButton* PictureButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}

bool HoldsControls(Kind kind) {
    return kind == Kind::GroupBox || kind == Kind::Panel;
}

QWidget* Made(const ControlDescription& control, QWidget* parent) {
    switch (control.kind) {
        case Kind::PushButton:
        case Kind::DefaultButton:
        case Kind::CancelButton:
            return Button(control, parent);
        case Kind::PictureButton:
            return PictureButton(parent);
        case Kind::GroupBox:
            return new QGroupBox(Caption(control), parent);
        case Kind::Panel:
            return Panel(parent);
        case Kind::Bevel:
            return Line(parent);
        case Kind::Label:
        case Kind::ClockField:
            return Label(control, parent);
        case Kind::CheckBox:
            return new QCheckBox(Caption(control), parent);
        case Kind::RadioButton:
            return new QRadioButton(Caption(control), parent);
        case Kind::Edit:
            return new QLineEdit(parent);
        case Kind::DigitsEdit:
            return new DigitsEdit(control.limit, parent);
        case Kind::Memo:
            return Memo(parent);
        case Kind::DropDownList:
            return List(control, parent);
        case Kind::StatusBar:
            return StatusBar(parent);
        case Kind::RichText:
            return RichText(parent);
    }
    return new QWidget(parent);
}

}  // namespace

FormWidgets::FormWidgets(QWidget& window, const FormDescription& form,
                         std::function<void(int)> clicked)
    : clicked_(std::move(clicked)) {
    window.setObjectName(form.name);
    window.setWindowTitle(QString::fromUtf8(form.caption));
    // The boxes and panels first, whatever their place in tab order: they hold others.
    for (const bool holders : {true, false}) {
        for (const ControlDescription& control : form.controls) {
            if (HoldsControls(control.kind) == holders) {
                Add(window, form, control);
            }
        }
    }
    QWidget* previous = nullptr;
    for (const ControlDescription& control : form.controls) {
        QWidget* widget = Widget(control.id);
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
}

void FormWidgets::Add(QWidget& window, const FormDescription& form,
                      const ControlDescription& control) {
    QWidget* parent = control.inside ? Widget(form.Find(control.inside)->id) : &window;
    QWidget* widget = Made(control, parent);
    widget->setObjectName(control.name);
    widget->setGeometry(control.place.left, control.place.top, control.place.width,
                        control.place.height);
    widgets_.emplace_back(control.id, widget);
    Listen(widget, control.id);
}

void FormWidgets::Listen(QWidget* widget, int id) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [this, id] { clicked_(id); });
    }
}

QWidget* FormWidgets::Widget(int id) const {
    for (const auto& [control, widget] : widgets_) {
        if (control == id) {
            return widget;
        }
    }
    return nullptr;
}

bool FormWidgets::Checked(int id) const {
    const auto* button = As<QAbstractButton>(id);
    return button && button->isChecked();
}

void FormWidgets::SetChecked(int id, bool checked) {
    auto* button = As<QAbstractButton>(id);
    if (!button || button->isChecked() == checked) {
        return;
    }
    // A radio button of a pair is cleared only by checking the other: this one is let go of
    // for the moment, and the caller checks the other.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

std::string FormWidgets::Text(int id) const {
    QWidget* widget = Widget(id);
    if (const auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    if (const auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        // Its lines, not its wrapped rows: a long host name stays one entry.
        return memo->toPlainText().toStdString();
    }
    if (const auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text().toStdString();
    }
    if (const auto* bar = qobject_cast<QStatusBar*>(widget)) {
        return bar->currentMessage().toStdString();
    }
    return "";
}

void FormWidgets::SetText(int id, const std::string& text) {
    QWidget* widget = Widget(id);
    const QString shown = QString::fromStdString(text);
    if (auto* digits = qobject_cast<DigitsEdit*>(widget)) {
        digits->SetProgramText(shown);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(shown);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        memo->setPlainText(shown);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown);
    } else if (auto* bar = qobject_cast<QStatusBar*>(widget)) {
        bar->showMessage(shown);
    }
}

int FormWidgets::ItemIndex(int id) const {
    const auto* list = As<QComboBox>(id);
    return list ? list->currentIndex() : -1;
}

void FormWidgets::SetItemIndex(int id, int index) {
    if (auto* list = As<QComboBox>(id)) {
        list->setCurrentIndex(index);
    }
}

}  // namespace velmora
