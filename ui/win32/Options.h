#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "sync/OptionsDialog.h"
#include "ui/common/FormFrontEnd.h"
#include "ui/common/OptionsPresenter.h"
#include "ui/win32/ModalForm.h"

namespace velmora {

// The modal options dialog, built from the options form's description at 96 dpi scaled to the
// window's; its rules are the presenter's. Its controls are found by the numbers of
// ui/common/OptionsForm.h (Control, GetDlgItem).
class TOptionsForm : public ModalForm, public OptionsDialog, private FormFrontEnd {
  public:
    explicit TOptionsForm(HWND owner = nullptr);
    ~TOptionsForm() override;

    std::optional<OptionsValues> Edit(const OptionsValues& shown) override;
    OptionsPresenter& Presenter() { return presenter_; }

  protected:
    void OnShown() override;
    bool OnCommand(int id, int code) override;
    void PlaceControls() override;

  private:
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    int ItemIndex(int id) const override;
    void SetItemIndex(int id, int index) override;
    void SetEnabled(int id, bool enabled) override;
    void Focus(int id) override;
    void SetHeight(int height) override;
    void ShowMessage(const std::string& text) override;
    void RunModal() override { ShowModal(); }
    void Close() override { ModalForm::Close(); }

    // The checked radio button is the one Tab stops at.
    void RadioTabStops();

    OptionsPresenter presenter_{*this};
    int focus_ = 0;
    HICON okGlyph_ = nullptr;
    HICON cancelGlyph_ = nullptr;
};

}  // namespace velmora
