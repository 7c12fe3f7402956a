#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/common/FormDescription.h"

namespace velmora {

// A form description made into Qt widgets on `window`: each control under its form name as
// object name, in its group box, at its place, in the description's tab order. A click on a
// button (mouse, Space or its accelerator) goes to `clicked` with the control's number; nothing
// the program sets does.
class FormWidgets {
  public:
    FormWidgets(QWidget& window, const FormDescription& form, std::function<void(int)> clicked);

    QWidget* Widget(int id) const;
    template <class W>
    W* As(int id) const {
        return qobject_cast<W*>(Widget(id));
    }

    bool Checked(int id) const;
    void SetChecked(int id, bool checked);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    int ItemIndex(int id) const;
    void SetItemIndex(int id, int index);

  private:
    void Add(QWidget& window, const FormDescription& form, const ControlDescription& control);
    void Listen(QWidget* widget, int id);

    std::vector<std::pair<int, QWidget*>> widgets_;
    std::function<void(int)> clicked_;
};

}  // namespace velmora
