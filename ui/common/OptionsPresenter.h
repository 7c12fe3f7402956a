#pragma once

#include <optional>

#include "sync/OptionsDialog.h"
#include "ui/common/FormFrontEnd.h"

namespace velmora {

// The options dialog's rules, whichever toolkit draws it: how the values fill the controls and
// come back, the controls kept consistent, the interval checked on OK. A front end forwards its
// controls' clicks here (`Clicked`); the rest it only shows.
//
// A rule that keeps a control from the user (a field a standard user may not change, say) goes
// here as well: disable it through the front end and say why in the status of the form.
class OptionsPresenter {
  public:
    explicit OptionsPresenter(FormFrontEnd& form) : form_(form) {}

    // Shows `shown` modally: the values confirmed with OK, or nothing.
    std::optional<OptionsValues> Edit(const OptionsValues& shown);

    void Load(const OptionsValues& values);
    OptionsValues Read() const;
    // A control the user clicked, or pressed by its accelerator; OK validates and closes.
    void Clicked(int id);
    bool Accepted() const { return accepted_; }

  private:
    // Sets a check box or radio button as a click would, its handler run.
    void SetChecked(int id, bool checked);
    void CheckBox1Click();
    void MinimizeBoxClick();
    // The display choice is always exactly one of the pair: `id` decides the other.
    void RadioButtonClick(int id);
    void OKButtonClick();

    // The machine's fields shown read-only, and why.
    void ShowMachineOwned(const std::string& reason);

    FormFrontEnd& form_;
    bool accepted_ = false;
    // Why the machine's fields are read-only; empty when the user may change them.
    std::string machineOwned_;
};

}  // namespace velmora
