#pragma once

#include <QDialog>

#include "ui_help.h"

namespace velmora {

// The fixed help text in a modal window; a new window for every showing, so nothing typed into
// it survives.
class THelpForm : public QDialog, public Ui::THelpForm {
    Q_OBJECT

  public:
    explicit THelpForm(QWidget* parent = nullptr);

    // Shows the window modally and returns when it closes.
    void ShowModal();

    // Sets the title and the five headings in their styles; the rest stays regular.
    void FormShow();

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace velmora
