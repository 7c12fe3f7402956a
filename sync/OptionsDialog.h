#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velmora {

// What the options command needs of the options dialog, and nothing more.
class OptionsDialog {
  public:
    virtual ~OptionsDialog() = default;

    virtual void LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                             const std::string& serverList) = 0;
    virtual void ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                             std::string& serverList) const = 0;
    // Runs the modal loop until the dialog closes itself.
    virtual void ShowModal() = 0;
    virtual bool WasAccepted() const = 0;

    // Direct access to the controls the options command sets and reads.
    virtual bool CheckBox1Checked() const = 0;
    virtual void SetCheckBox1Checked(bool checked) = 0;
    virtual int ComboBox1ItemIndex() const = 0;  // 0 = "hours", 1 = "minutes"
    virtual void SetComboBox1ItemIndex(int index) = 0;
    virtual std::string Edit1Text() const = 0;
    virtual void SetEdit1Text(const std::string& text) = 0;
    virtual bool RadioButton1Checked() const = 0;
    virtual void SetRadioButton1Checked(bool checked) = 0;
    virtual bool RadioButton2Checked() const = 0;
    virtual void SetRadioButton2Checked(bool checked) = 0;
    virtual bool AutorunBoxChecked() const = 0;
};

using OptionsDialogFactory = std::function<std::unique_ptr<OptionsDialog>()>;

}  // namespace velmora
