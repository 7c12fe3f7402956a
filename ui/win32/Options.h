#pragma once

#include <windows.h>

#include <string>

#include "sync/OptionsDialog.h"
#include "ui/win32/ModalForm.h"

namespace velmora {

// The modal options dialog, from the form data at 96 dpi scaled to the window's. It only presents
// the values, keeps its controls consistent, validates the interval on OK and remembers whether OK
// closed it. Its controls are public under their form names, and found by their IDs below.
class TOptionsForm : public ModalForm, public OptionsDialog {
  public:
    enum ControlId : int {
        OKButtonId = IDOK,
        CancelButtonId = IDCANCEL,
        GeneralBoxId = 1001,
        Bevel1Id,
        MinimizeBoxId,
        AutorunBoxId,
        CheckBox1Id,
        Edit1Id,
        ComboBox1Id,
        RadioButton1Id,
        RadioButton2Id,
        TimeSrvGroupId,
        TimeSrvMemoId,
        NextOnFailBoxId,
    };

    explicit TOptionsForm(HWND owner = nullptr);
    ~TOptionsForm() override;

    void LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                     const std::string& serverList) override;
    void ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                     std::string& serverList) const override;
    void ShowModal() override { ModalForm::ShowModal(); }
    bool WasAccepted() const override { return Accepted; }

    bool CheckBox1Checked() const override;
    void SetCheckBox1Checked(bool checked) override;
    int ComboBox1ItemIndex() const override;
    void SetComboBox1ItemIndex(int index) override;
    std::string Edit1Text() const override;
    void SetEdit1Text(const std::string& text) override;
    bool RadioButton1Checked() const override;
    void SetRadioButton1Checked(bool checked) override;
    bool RadioButton2Checked() const override;
    void SetRadioButton2Checked(bool checked) override;
    bool AutorunBoxChecked() const override;

    void OKButtonClick();
    void CheckBox1Click();
    void MinimizeBoxClick();
    void RadioButton1Click();
    void RadioButton2Click();

    HWND OKButton = nullptr;
    HWND CancelButton = nullptr;
    HWND GeneralBox = nullptr;
    HWND Bevel1 = nullptr;
    HWND MinimizeBox = nullptr;
    HWND AutorunBox = nullptr;
    HWND CheckBox1 = nullptr;
    HWND Edit1 = nullptr;
    HWND ComboBox1 = nullptr;
    HWND RadioButton1 = nullptr;
    HWND RadioButton2 = nullptr;
    HWND TimeSrvGroup = nullptr;
    HWND TimeSrvMemo = nullptr;
    HWND NextOnFailBox = nullptr;

  protected:
    void OnShow() override;
    void OnShown() override;
    bool OnCommand(int id, int code) override;
    void PlaceControls() override;

  private:
    // Sets a check box as a click would, its handler run when its state changes.
    void SetBoxChecked(HWND box, bool checked);
    void Clicked(HWND box);
    // The checked radio button is the one Tab stops at.
    void RadioTabStops();
    bool IntervalValid() const;

    bool Accepted = false;
    HICON okGlyph_ = nullptr;
    HICON cancelGlyph_ = nullptr;
};

}  // namespace velmora
