#include "ui/qt/HistoryWindow.h"

#include <QDateTime>
#include <QLocale>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "sync/DriftText.h"

namespace velmora {
namespace {

// How many of the steps other programs made, when any did.
QString ByOthers(const std::vector<HistoryRecord>& records) {
    const auto steps = std::count_if(records.begin(), records.end(), [](const auto& r) {
        return r.kind == HistoryRecord::Kind::OtherStep;
    });
    if (steps == 0) {
        return "";
    }
    return steps == 1 ? " (1 by another program)" : QString(" (%1 by other programs)").arg(steps);
}

QString Summary(const std::vector<HistoryRecord>& records) {
    if (records.empty()) {
        return "No answers and no steps of the clock kept yet.";
    }
    const auto answers = std::count_if(records.begin(), records.end(), [](const auto& r) {
        return r.kind == HistoryRecord::Kind::Answer;
    });
    const auto authenticated = std::count_if(records.begin(), records.end(), [](const auto& r) {
        return r.kind == HistoryRecord::Kind::Answer && r.authenticated;
    });
    const auto steps = static_cast<long>(records.size()) - answers;
    const QDateTime since =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(records.front().unixSeconds * 1000));
    return QString("%1 %2 (%3 authenticated) and %4 %5 of the clock%6 since %7.")
        .arg(answers)
        .arg(answers == 1 ? "answer" : "answers")
        .arg(authenticated)
        .arg(steps)
        .arg(steps == 1 ? "step" : "steps")
        .arg(ByOthers(records))
        .arg(QLocale().toString(since, "ddd d MMM yyyy HH:mm"));
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
    setWindowTitle("History");
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
