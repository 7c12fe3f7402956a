#pragma once

#include <windows.h>

#include "ui/common/HelpForm.h"
#include "ui/win32/ModalForm.h"

namespace velmora {

// The fixed help text in a modal window; a new window for every showing, so nothing typed into
// it survives. The rich edit is Msftedit's (RichEdit 4.1), or Riched20's where that is missing.
class THelpForm : public ModalForm {
  public:
    enum ControlId : int {
        BitBtn1Id = kBitBtn1Id,
        RichEdit1Id = kRichEdit1Id,
        Panel1Id = kPanel1Id
    };

    explicit THelpForm(HWND owner = nullptr);
    ~THelpForm() override;

    // Sets the title and the five headings in their styles; the rest stays regular.
    void FormShow();

    HWND BitBtn1 = nullptr;
    HWND RichEdit1 = nullptr;
    HWND Panel1 = nullptr;

  protected:
    void OnShow() override;
    void OnShown() override;
    void PlaceControls() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    bool PreTranslate(const MSG& message) override;

  private:
    HICON closeGlyph_ = nullptr;
};

// The help button's command: the help window over `owner`, until it is closed.
void ShowHelp(HWND owner);

}  // namespace velmora
