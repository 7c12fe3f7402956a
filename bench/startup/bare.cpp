// bench_startup: the floor any Qt Widgets program pays: one window the size of Velmora's with a
// label that a 500 ms timer rewrites (the label is empty until then). bench/run-startup measures
// it beside Velmora.
//
//   bench_startup [--load LIBRARY]... [--tray] [--text]
//
// With --load, it loads each LIBRARY (dlopen, every symbol bound) before it makes the window, with
// --tray it puts an icon in the tray as well, and with --text the label shows the time at once:
// what each such part adds to a start.

#include <dlfcn.h>

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<QSystemTrayIcon> tray;
    bool textAtOnce = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--load") == 0 && i + 1 < argc) {
            if (!dlopen(argv[++i], RTLD_NOW | RTLD_GLOBAL)) {
                std::fprintf(stderr, "bench_startup: %s\n", dlerror());
                return 1;
            }
        } else if (std::strcmp(argv[i], "--tray") == 0) {
            tray = std::make_unique<QSystemTrayIcon>(QIcon::fromTheme("clock"));
            tray->show();
        } else if (std::strcmp(argv[i], "--text") == 0) {
            textAtOnce = true;
        }
    }
    QLabel window;
    window.setWindowTitle("Bare Qt window");
    window.setFixedSize(315, 151);
    QTimer timer;
    const auto showTime = [&window] { window.setText(QDateTime::currentDateTime().toString()); };
    QObject::connect(&timer, &QTimer::timeout, &window, showTime);
    timer.start(500);
    if (textAtOnce) {
        showTime();
    }
    window.show();
    return app.exec();
}
