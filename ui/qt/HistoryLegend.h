#pragma once

#include <QFontMetricsF>
#include <QString>
#include <vector>

class QPainter;

namespace velmora {

// The legend above the History window's plot: what each mark stands for, from `left` to `right`
// in as many rows as that width needs. Another program's steps have a line only when the history
// holds any.
class HistoryLegend {
  public:
    HistoryLegend(const QFontMetricsF& metrics, double left, double right, bool otherSteps);

    int Rows() const { return rows_; }
    // Row 0 centred at `top` + half a line, each further row a line lower.
    void Draw(QPainter& painter, double top, const QColor& text) const;

  private:
    enum class Mark { Answer, Authenticated, Step, OtherStep, Drift };
    struct Entry {
        Mark mark;
        QString words;
        double x = 0;
        int row = 0;
    };
    static double MarkWidth(Mark mark);
    static void DrawMarkOf(QPainter& painter, Mark mark, const QPointF& at);

    QFontMetricsF metrics_;
    std::vector<Entry> entries_;
    int rows_ = 1;
};

}  // namespace velmora
