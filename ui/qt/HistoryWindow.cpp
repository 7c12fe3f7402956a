#include "ui/qt/HistoryWindow.h"

#include <QDateTime>
#include <QLocale>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/common/HistoryShown.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

std::string DateTimeText(double seconds) {
    return QLocale()
        .toString(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(seconds * 1000)),
                  "ddd d MMM yyyy HH:mm")
        .toStdString();
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
    history_.Appended = [this] {
        if (isVisible()) {
            Reload();
        }
    };
}

THistoryWindow::~THistoryWindow() {
    history_.Appended = nullptr;
}

void THistoryWindow::Reload() {
    HistoryReading reading = ReadHistory(history_, DateTimeText);
    drift_ = reading.drift;
    SummaryLabel->setText(QString::fromStdString(reading.summary));
    DriftLabel->setText(QString::fromStdString(reading.rate));
    IntervalLabel->setText(QString::fromStdString(reading.interval));
    IntervalLabel->setVisible(drift_.known);
    Plot->SetHistory(std::move(reading.records), std::move(reading.drift));
}

void THistoryWindow::showEvent(QShowEvent* event) {
    // Qt sends a spontaneous one when the window comes back from being minimized.
    if (!event->spontaneous()) {
        Reload();
    }
    QWidget::showEvent(event);
}

}  // namespace velmora
