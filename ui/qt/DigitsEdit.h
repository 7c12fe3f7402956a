#pragma once

#include <QLineEdit>

namespace velmora {

// A one-line edit that takes typed digits only, and no more than its limit of them. A text the
// program sets shows whole, however long; the user may then only shorten it. Pasted text is not
// filtered: whoever reads the field checks it.
class DigitsEdit : public QLineEdit {
    Q_OBJECT

  public:
    DigitsEdit(int limit, QWidget* parent);

    // Sets the program's own value, past the limit if need be.
    void SetProgramText(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velmora
