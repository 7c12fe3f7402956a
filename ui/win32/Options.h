#pragma once

#include <windows.h>

#include <string>

#include "sync/OptionsDialog.h"

namespace velmora {

// The modal options dialog, over the main window `owner`. (A stand-in that keeps the values and
// is never accepted, until the dialog itself is here.)
class TOptionsForm : public OptionsDialog {
  public:
    explicit TOptionsForm(HWND owner);

    void LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                     const std::string& serverList) override;
    void ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                     std::string& serverList) const override;
    void ShowModal() override;
    bool WasAccepted() const override { return false; }

    bool CheckBox1Checked() const override { return checkBox1_; }
    void SetCheckBox1Checked(bool checked) override { checkBox1_ = checked; }
    int ComboBox1ItemIndex() const override { return comboBox1_; }
    void SetComboBox1ItemIndex(int index) override { comboBox1_ = index; }
    std::string Edit1Text() const override { return edit1_; }
    void SetEdit1Text(const std::string& text) override { edit1_ = text; }
    bool RadioButton1Checked() const override { return radioButton1_; }
    void SetRadioButton1Checked(bool checked) override { radioButton1_ = checked; }
    bool RadioButton2Checked() const override { return !radioButton1_; }
    void SetRadioButton2Checked(bool checked) override { radioButton1_ = !checked; }
    bool AutorunBoxChecked() const override { return autorun_; }

  private:
    bool minimize_ = false;
    bool autorun_ = false;
    bool tryNext_ = false;
    std::string servers_;
    bool checkBox1_ = false;
    int comboBox1_ = 0;
    std::string edit1_;
    bool radioButton1_ = false;
};

}  // namespace velmora
