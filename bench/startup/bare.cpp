// bench_startup: the floor any Qt Widgets program pays: one window the size of Velmora's with a
// label that a 500 ms timer rewrites. bench/run-startup measures it beside Velmora.

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window;
    window.setWindowTitle("Bare Qt window");
    window.setFixedSize(315, 151);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window,
                     [&window] { window.setText(QDateTime::currentDateTime().toString()); });
    timer.start(500);
    window.show();
    return app.exec();
}
