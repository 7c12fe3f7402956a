#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "sync/OptionsDialog.h"
#include "ui/common/FormFrontEnd.h"
#include "ui/common/OptionsPresenter.h"
#include "ui/qt/FormWidgets.h"

namespace velmora {

// The modal options dialog, built from the options form's description; its rules are the
// presenter's. Its controls carry their form names as object names.
class TOptionsForm : public QDialog, public OptionsDialog, private FormFrontEnd {
    Q_OBJECT

  public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    std::optional<OptionsValues> Edit(const OptionsValues& shown) override;
    OptionsPresenter& Presenter() { return presenter_; }

  private:
    bool Checked(int id) const override { return controls_.Checked(id); }
    void SetChecked(int id, bool checked) override { controls_.SetChecked(id, checked); }
    std::string Text(int id) const override { return controls_.Text(id); }
    void SetText(int id, const std::string& text) override { controls_.SetText(id, text); }
    int ItemIndex(int id) const override { return controls_.ItemIndex(id); }
    void SetItemIndex(int id, int index) override { controls_.SetItemIndex(id, index); }
    void SetEnabled(int id, bool enabled) override;
    void Focus(int id) override;
    void SetHeight(int height) override;
    void ShowMessage(const std::string& text) override;
    void RunModal() override;
    void Close() override;

    OptionsPresenter presenter_{*this};
    FormWidgets controls_;
};

}  // namespace velmora
