#pragma once

#include <QDialog>
#include <string>

#include "sync/OptionsDialog.h"
#include "ui/common/FormTexts.h"
#include "ui_Options.h"

namespace velmora {

// The modal options dialog. It only presents the values, keeps its controls consistent,
// validates the interval on OK and remembers whether OK closed it. The controls are public under
// their form names.
class TOptionsForm : public QDialog, public OptionsDialog, public Ui::TOptionsForm {
    Q_OBJECT

  public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    void LoadOptions(bool minimizeOnStart, bool autorun, bool tryNextServer,
                     const std::string& serverList) override;
    void ReadOptions(bool& minimizeOnStart, bool& autorun, bool& tryNextServer,
                     std::string& serverList) const override;
    void ShowModal() override;
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

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool IntervalValid() const;

    bool Accepted = false;
};

}  // namespace velmora
