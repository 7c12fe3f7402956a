#pragma once

#include <windows.h>

#include "ui/common/FormDescription.h"

namespace velmora {

// A modal form: a dialog window made from an in-memory template, there (hidden) for the form's
// whole life so that its controls can be set before it is shown and read after it closed. Its
// controls are made from its form's description, in tab order, and placed for the window's DPI.
// ShowModal runs its own loop through IsDialogMessage, which gives the dialog keyboard (Tab, Enter
// for the default button, Esc for IDCANCEL, Alt+letter), with the owner disabled meanwhile.
class ModalForm {
  public:
    ModalForm(const ModalForm&) = delete;
    ModalForm& operator=(const ModalForm&) = delete;
    virtual ~ModalForm();

    // Shows the form centred over its owner and returns when it closes.
    void ShowModal();
    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  protected:
    // `style` holds the border and the title bar's boxes; caption and client area are the
    // form's.
    ModalForm(HWND owner, const FormDescription& form, DWORD style);

    void CreateControls();
    // The client area's height at 96 dpi, the form's own until set.
    void SetClientHeight(int height);
    // Ends the modal loop; the form stays, hidden.
    void Close();
    bool Shown() const { return shown_; }
    UINT Dpi() const { return dpi_; }
    int Scaled(int pixels) const;
    HFONT Font() const { return font_; }

    // Just before the form appears, and once it is there.
    virtual void OnShow() {}
    virtual void OnShown() {}
    // A command of a control; IDCANCEL (Esc, the close box) closes unless handled.
    virtual bool OnCommand(int id, int code);
    // Places the controls for the DPI and the client area: at the form's places, scaled.
    virtual void PlaceControls();
    // A message the form handles itself, or nothing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // A message of the loop, before the dialog keyboard sees it; true when taken.
    virtual bool PreTranslate(const MSG&) { return false; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void UseDpi(UINT dpi);
    void FitClient();
    void PlaceOverOwner();
    void RunLoop();

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    const FormDescription& form_;
    int height_;
    bool shown_ = false;
};

}  // namespace velmora
