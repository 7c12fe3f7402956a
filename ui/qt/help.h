#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTextEdit>

#include "ui/qt/FormWidgets.h"

namespace velmora {

// The fixed help text in a modal window; a new window for every showing, so nothing typed into
// it survives.
class THelpForm : public QDialog {
    Q_OBJECT

  public:
    explicit THelpForm(QWidget* parent = nullptr);

    // Shows the window modally and returns when it closes.
    void ShowModal();

    // Sets the title and the five headings in their styles; the rest stays regular.
    void FormShow();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    FormWidgets controls_;

  public:
    QTextEdit* const RichEdit1;
    QPushButton* const BitBtn1;
};

}  // namespace velmora
