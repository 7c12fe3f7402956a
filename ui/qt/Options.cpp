#include "ui/qt/Options.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include "ui/common/FormTexts.h"
#include "ui/common/OptionsForm.h"

namespace velmora {

TOptionsForm::TOptionsForm(QWidget* parent)
    : QDialog(parent),
      controls_(*this, OptionsFormDescription(), [this](int id) { presenter_.Clicked(id); }) {
    // Only the system menu and the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(OptionsFormDescription().width, OptionsFormDescription().height);
    controls_.As<QPushButton>(kOKButtonId)
        ->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    controls_.As<QPushButton>(kCancelButtonId)
        ->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
}

std::optional<OptionsValues> TOptionsForm::Edit(const OptionsValues& shown) {
    return presenter_.Edit(shown);
}

void TOptionsForm::SetEnabled(int id, bool enabled) {
    controls_.Widget(id)->setEnabled(enabled);
}

void TOptionsForm::SetHeight(int height) {
    setFixedSize(width(), height);
}

void TOptionsForm::Focus(int id) {
    controls_.Widget(id)->setFocus();
}

void TOptionsForm::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.setObjectName("IntervalMessage");
    box.exec();
}

void TOptionsForm::RunModal() {
    exec();
}

void TOptionsForm::Close() {
    done(presenter_.Accepted() ? Accepted : Rejected);
}

}  // namespace velmora
