#include "ui/qt/HistoryCanvas.h"

#include <QDateTime>
#include <QString>
#include <cmath>

namespace velmora {
namespace {

QDateTime LocalTime(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000));
}

double Seconds(const QDateTime& time) {
    return static_cast<double>(time.toMSecsSinceEpoch()) / 1000;
}

}  // namespace

double QtTextMeasure::Width(const std::string& text) const {
    return metrics_.horizontalAdvance(QString::fromStdString(text));
}

double QtLocalDays::StartOfDay(double seconds) const {
    return Seconds(LocalTime(seconds).date().startOfDay());
}

double QtLocalDays::DaysLater(double dayStart, int days) const {
    return Seconds(LocalTime(dayStart).date().addDays(days).startOfDay());
}

}  // namespace velmora
