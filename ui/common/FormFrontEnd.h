#pragma once

#include <string>

namespace velmora {

// What a presenter asks of the window a front end built from a form description: the controls,
// found by their numbers, and the window's own few acts. Setting a control from here is the
// program's doing, never a click: no handler runs for it.
class FormFrontEnd {
  public:
    virtual ~FormFrontEnd() = default;

    virtual bool Checked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    // A memo's lines are separated by "\n", as typed: a wrapped row is not a line.
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual int ItemIndex(int id) const = 0;
    virtual void SetItemIndex(int id, int index) = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    // The control the keyboard starts on, once the window shows.
    virtual void Focus(int id) = 0;
    // The window's client height at 96 dpi; a control placed lower is out of sight.
    virtual void SetHeight(int height) = 0;

    // A message box over the window, with the program's title and one OK button; returns when
    // it is closed.
    virtual void ShowMessage(const std::string& text) = 0;
    // Shows the window modally and returns when it closes (Close, or the user's Esc or close box).
    virtual void RunModal() = 0;
    virtual void Close() = 0;
};

}  // namespace velmora
