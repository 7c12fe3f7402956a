#include "ui/qt/HistoryWindow.h"

#include <QDateTime>
#include <QLocale>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "sync/DriftText.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

QString Summary(const std::vector<HistoryRecord>& records) {
    const QString since =
        records.empty() ? QString()
                        : QLocale().toString(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(
                                                 records.front().unixSeconds * 1000)),
                                             "ddd d MMM yyyy HH:mm");
    return QString::fromStdString(HistorySummaryText(records, since.toStdString()));
}

QLabel* AddLabel(QVBoxLayout* layout, QWidget* window, const char* name) {
    auto* label = new QLabel(window);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}

}  // namespace

THistoryWindow::THistoryWindow(HistoryFeed& history, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history) {
    setObjectName("HistoryWindow");
    setWindowTitle(kHistoryTitle);
    // Closing it never ends the program, though the main window may be hidden in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont larger = font();
    larger.setPixelSize(12);
    setFont(larger);
    auto* layout = new QVBoxLayout(this);
    Plot = new THistoryPlot(this);
    layout->addWidget(Plot, 1);
    SummaryLabel = AddLabel(layout, this, "SummaryLabel");
    DriftLabel = AddLabel(layout, this, "DriftLabel");
    IntervalLabel = AddLabel(layout, this, "IntervalLabel");
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    connect(&history_, &HistoryFeed::Appended, this, [this] {
        if (isVisible()) {
            Reload();
        }
    });
}

void THistoryWindow::Reload() {
    std::vector<HistoryRecord> records = history_.Load();
    drift_ = EstimateDrift(records);
    SummaryLabel->setText(Summary(records));
    DriftLabel->setText(QString::fromStdString(DriftRateText(drift_)));
    IntervalLabel->setText(QString::fromStdString(DriftIntervalText(drift_)));
    IntervalLabel->setVisible(drift_.known);
    Plot->SetHistory(std::move(records), drift_);
}

void THistoryWindow::showEvent(QShowEvent* event) {
    // Qt sends a spontaneous one when the window comes back from being minimized.
    if (!event->spontaneous()) {
        Reload();
    }
    QWidget::showEvent(event);
}

}  // namespace velmora
